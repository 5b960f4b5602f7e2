#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform.h"
#include "platform_system.h"

// A 32-bit clock stops at 2038-01-19 and would seed every pass alike from then on.
static_assert(sizeof(std::time_t) >= sizeof(std::int64_t),
              "build with a 64-bit time_t (-D_TIME_BITS=64)");

std::int64_t calendar_seconds() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

void make_standard_input_blocking() {
  // Left non-blocking by another program, a read would find no data yet and look like the end
  // of input; wait for the words instead, as shells do.
  const int flags = ::fcntl(STDIN_FILENO, F_GETFL);
  if (flags >= 0 && (flags & O_NONBLOCK) != 0) ::fcntl(STDIN_FILENO, F_SETFL, flags & ~O_NONBLOCK);
}

long read_standard_input(char* buffer, std::size_t size) {
  ssize_t got = 0;
  do {
    got = ::read(STDIN_FILENO, buffer, size);
  } while (got < 0 && errno == EINTR);
  return static_cast<long>(got);
}
