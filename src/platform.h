#pragma once

// The few things the program asks of the system: the calendar clock, the C runtime's
// pseudo-random sequence and the standard streams.

#include <cstdint>
#include <functional>
#include <iosfwd>

// Whole seconds since 1970-01-01 00:00:00 UTC.
std::int64_t calendar_seconds();

// Where the prompt loop gets the time from; tests hand it a clock of their own.
using Clock = std::function<std::int64_t()>;

// The runtime's pseudo-random sequence, from a copy of its generator that the build picks
// (generator/<runtime>/generator.h), without a lock on every draw:
//   void seed_generator(std::uint32_t seed);  // restarts the sequence, as std::srand(seed) does
//   template <class Take> void draw_each(std::size_t count, Take&& take);
//                                             // hands the next `count` values, as std::rand()
//                                             // would give them, to take(std::uint32_t), in order
#include "generator.h"

// Readies std::cin for the loop: a blocking read; a failed read marks the stream bad rather than
// looking like the end of input; and `shown` is flushed when, and only when, the program is about
// to wait for more input, so prompts appear in time without a write for every word.
void prepare_standard_input(std::ostream& shown);

// The system's text for the error code left by the last failed call.
const char* last_error_text();
