#pragma once

#include <cstdint>
#include <string>

// The program's one state record, alive for the whole run.
struct RollerState {
  std::string choice;           // last word read at the prompt (only a short prefix of a long one)
  std::int32_t amount = 0;      // count entered in the current or last batch
  std::int32_t roll_index = 0;  // faces written so far in the current or last batch
};
