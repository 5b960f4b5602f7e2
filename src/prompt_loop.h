#pragma once

// The program's one loop: prompt, read a word, act on it.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string_view>

#include "roller_state.h"

// Where the loop gets the time from: calendar_seconds, or a test's own clock.
using Clock = std::function<std::int64_t()>;

// No line feed: the user types on the prompt's own line.
inline constexpr std::string_view prompt_text = "enter dice d4 d6 d8 d10 d12 d20 d100 exit ";

// Prompts and reads words, rolling a batch for each die word, until an exit word or the end of
// input. Returns the exit status: 0, or 1 after a read or write error, which it reports on `err`.
// It flushes `out` only at the end: a reader that may wait, such as std::cin made ready by
// prepare_standard_input, flushes it before waiting.
int run_prompt_loop(RollerState& state, std::istream& in, std::ostream& out, std::ostream& err,
                    const Clock& clock);
