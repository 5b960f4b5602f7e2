#include "platform.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <streambuf>

#include "platform_system.h"

namespace {

// Standard input read straight from its descriptor. Not every C++ library's std::cin tells a
// failed read from the end of input (libc++'s takes both for the end); this one marks its stream
// bad, so the loop can tell them apart on any library.
struct StandardInput : std::streambuf {
  int_type underflow() override {
    // The one moment the program may wait: what it wrote must be on the screen first. Output
    // that cannot be written ends the input, and the loop reports the failed stream.
    if (shown != nullptr && !shown->flush()) return traits_type::eof();
    const long got = read_standard_input(buffer.data(), buffer.size());
    if (got < 0) stream->setstate(std::ios_base::badbit);
    if (got <= 0) return traits_type::eof();
    setg(buffer.data(), buffer.data(), buffer.data() + got);
    return traits_type::to_int_type(buffer[0]);
  }
  std::istream* stream = nullptr;    // the stream reading through this buffer
  std::ostream* shown = nullptr;     // flushed before each read from the system
  std::array<char, 65536> buffer{};  // NOLINT(readability-magic-numbers): as large as a pipe's
};

StandardInput standard_input;

}  // namespace

void prepare_standard_input(std::ostream& shown) {
  make_standard_input_blocking();
  standard_input.stream = &std::cin;
  standard_input.shown = &shown;
  std::cin.rdbuf(&standard_input);
  // The buffer flushes `shown` itself, and only before it waits; a tie would flush before every
  // word.
  std::cin.tie(nullptr);
}

const char* last_error_text() {
  return errno != 0 ? std::strerror(errno) : "unknown error";
}
