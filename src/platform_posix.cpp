#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <iostream>
#include <streambuf>

#include "platform.h"

std::int64_t calendar_seconds() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

namespace {

// Standard input read straight from its descriptor. Not every C++ library's std::cin tells a
// failed read from the end of input (libc++'s takes both for the end); this one marks its stream
// bad, so the loop can tell them apart on any library.
struct DescriptorInput : std::streambuf {
  int_type underflow() override {
    ssize_t got = 0;
    do {
      got = ::read(STDIN_FILENO, buffer.data(), buffer.size());
    } while (got < 0 && errno == EINTR);
    if (got < 0) stream->setstate(std::ios_base::badbit);
    if (got <= 0) return traits_type::eof();
    setg(buffer.data(), buffer.data(), buffer.data() + got);
    return traits_type::to_int_type(buffer[0]);
  }
  std::istream* stream = nullptr;    // the stream reading through this buffer
  std::array<char, 65536> buffer{};  // NOLINT(readability-magic-numbers): as large as a pipe's
};

DescriptorInput standard_input;

}  // namespace

void prepare_standard_input() {
  // Left non-blocking by another program, a read would find no data yet and look like the end
  // of input; wait for the words instead, as shells do.
  const int flags = ::fcntl(STDIN_FILENO, F_GETFL);
  if (flags >= 0 && (flags & O_NONBLOCK) != 0) ::fcntl(STDIN_FILENO, F_SETFL, flags & ~O_NONBLOCK);
  standard_input.stream = &std::cin;
  std::cin.rdbuf(&standard_input);
}

const char* last_error_text() {
  return errno != 0 ? std::strerror(errno) : "unknown error";
}
