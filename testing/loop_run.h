#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <sstream>
#include <streambuf>
#include <string>

#include "prompt_loop.h"

// Takes up to `room` bytes and keeps them, then fails every write, as a full disk does. Its
// writes are buffered, as a file's are, so a failure may show only when the stream is flushed.
struct FullAfter : std::streambuf {
  explicit FullAfter(std::size_t bytes) : room(bytes) { setp(buffer.begin(), buffer.end()); }
  bool drain() {
    const auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer.begin(), buffer.end());
    if (text.size() + size > room) return false;
    text.append(buffer.data(), size);
    return true;
  }
  int overflow(int c) override {
    if (!drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }
  int sync() override { return drain() ? 0 : -1; }
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
constexpr std::size_t no_end = std::numeric_limits<std::size_t>::max();

// Runs the loop over `input`, its output into a disk with room for `room` bytes.
inline LoopRun run_loop(
    const std::string& input, std::size_t room = no_end,
    const Clock& clock = [] { return loop_time; }) {
  LoopRun r{};
  std::istringstream in(input);
  FullAfter sink(room);
  std::ostream out(&sink);
  std::ostringstream err;
  r.status = run_prompt_loop(r.state, in, out, err, clock);
  r.out = sink.text;
  r.err = err.str();
  return r;
}
