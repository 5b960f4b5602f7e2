#pragma once

// The few things the program asks of the system: the calendar clock and
// the C library's pseudo-random generator.

#include <cstdint>
#include <functional>

// Whole seconds since 1970-01-01 00:00:00 UTC.
std::int64_t calendar_seconds();

// Where the prompt loop gets the time from; tests hand it a clock of their own.
using Clock = std::function<std::int64_t()>;

// Restarts the generator sequence from `seed`.
void seed_generator(std::uint32_t seed);

// Next value of the generator sequence, from 0 to RAND_MAX.
int draw_generator();

// The system's text for the error code left by the last failed call.
const char* last_error_text();
