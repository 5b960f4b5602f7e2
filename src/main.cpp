#include <iostream>

#include "platform.h"
#include "prompt_loop.h"
#include "roller_state.h"

int main() {
  // Buffered streams of our own on the descriptors; the output is flushed before the input waits.
  std::ios::sync_with_stdio(false);
  prepare_standard_input(std::cout);
  RollerState state;
  return run_prompt_loop(state, std::cin, std::cout, std::cerr, calendar_seconds);
}
