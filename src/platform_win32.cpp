#include <io.h>
#include <time.h>

#include "platform.h"
#include "platform_system.h"

std::int64_t calendar_seconds() {
  return _time64(nullptr);
}

void make_standard_input_blocking() {
  // Nothing to do: a Windows handle is never left non-blocking.
}

long read_standard_input(char* buffer, std::size_t size) {
  // In the runtime's text mode, which ends input at Ctrl-Z and takes "\r\n" for a line feed.
  return _read(0, buffer, static_cast<unsigned>(size));
}
