#include <time.h>

#include <cerrno>
#include <cstring>

#include "platform.h"

std::int64_t calendar_seconds() {
  return _time64(nullptr);
}

void prepare_standard_input() {
  // Nothing to do: a Windows handle is never left non-blocking, and the runtime's text mode
  // already ends input at Ctrl-Z and takes "\r\n" for a line feed.
}

const char* last_error_text() {
  return errno != 0 ? std::strerror(errno) : "unknown error";
}
