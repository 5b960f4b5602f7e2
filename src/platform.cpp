#include "platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

std::int64_t calendar_seconds() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

void seed_generator(std::uint32_t seed) {
  std::srand(seed);
}

int draw_generator() {
  return std::rand();
}  // NOLINT(cert-msc30-c,cert-msc50-cpp)

const char* last_error_text() {
  return errno != 0 ? std::strerror(errno) : "unknown error";
}
