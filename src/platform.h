#pragma once

// The few things the program asks of the system: the calendar clock and the C library's
// pseudo-random sequence.

#include <cstdint>
#include <functional>
#include <span>

// Whole seconds since 1970-01-01 00:00:00 UTC.
std::int64_t calendar_seconds();

// Where the prompt loop gets the time from; tests hand it a clock of their own.
using Clock = std::function<std::int64_t()>;

// Restarts the generator sequence from `seed`, as std::srand(seed) does.
void seed_generator(std::uint32_t seed);

// Fills `draws` with the next values of the sequence, in order: the values std::rand() would
// give, 0 to 2147483647, but without its lock on every draw.
void draw_generator(std::span<std::uint32_t> draws);

// Readies std::cin for the loop: a blocking read, and a failed read marks the stream bad rather
// than looking like the end of input.
void prepare_standard_input();

// The system's text for the error code left by the last failed call.
const char* last_error_text();
