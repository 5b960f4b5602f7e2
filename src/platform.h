#pragma once

// The few things the program asks of the system besides the C runtime's pseudo-random sequence
// (generator.h): the calendar clock and the standard streams.

#include <cstdint>
#include <iosfwd>

// Whole seconds since 1970-01-01 00:00:00 UTC.
std::int64_t calendar_seconds();

// Readies std::cin for the loop: a blocking read; a failed read marks the stream bad rather than
// looking like the end of input; and `shown` is flushed when, and only when, the program is about
// to wait for more input, so prompts appear in time without a write for every word.
void prepare_standard_input(std::ostream& shown);

// The system's text for the error code left by the last failed call.
const char* last_error_text();
