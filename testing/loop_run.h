#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>

#include "prompt_loop.h"

// Takes up to `room` bytes and keeps them, then fails every write, as a full disk does. Its
// writes are buffered, as a file's are, so a failure may show only when the stream is flushed.
struct FullAfter : std::streambuf {
  explicit FullAfter(std::size_t bytes) : room(bytes) { setp(buffer.begin(), buffer.end()); }
  int sync() override {
    const std::string_view held(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(buffer.begin(), buffer.end());
    if (text.size() + held.size() > room) return -1;
    text += held;
    return 0;
  }
  int overflow(int c) override {
    if (sync() != 0) return traits_type::eof();
    return traits_type::eq_int_type(c, traits_type::eof()) ? traits_type::not_eof(c)
                                                           : sputc(traits_type::to_char_type(c));
  }
  std::array<char, 64> buffer{};
  std::size_t room;
  std::string text;  // what was taken
};

struct LoopRun {
  int status;
  std::string out;
  std::string err;
  RollerState state;
};

// The time, and so the seed, of every pass by default; a disk with no end.
constexpr std::uint32_t loop_time = 1765000000;
constexpr auto at_loop_time = [] { return std::int64_t{loop_time}; };
constexpr std::size_t no_end = std::numeric_limits<std::size_t>::max();

// Runs the loop over `input`, its output into a disk with room for `room` bytes; the input
// starts in `input_state`.
inline LoopRun run_loop(const std::string& input, std::size_t room = no_end,
                        const Clock& clock = at_loop_time,
                        std::ios_base::iostate input_state = std::ios_base::goodbit) {
  LoopRun r{};
  std::istringstream in(input);
  in.setstate(input_state);
  FullAfter sink(room);
  std::ostream out(&sink);
  std::ostringstream err;
  r.status = run_prompt_loop(r.state, in, out, err, clock);
  r.out = sink.text;
  r.err = err.str();
  return r;
}
