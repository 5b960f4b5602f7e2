// Feeds arbitrary bytes to the prompt loop as its input, with a fixed clock, and holds what it
// writes to a model of the dialogue written apart from the program: prompts; batches of the
// named die with exactly the C runtime's faces, as many as the count read; and the right ending.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "loop_run.h"
#include "oracle.h"
#include "prompt_loop.h"

namespace {

// Output beyond this fails like a full disk: a huge count then costs an iteration one chunk of
// faces, and the error path gets fuzzed too.
constexpr std::size_t output_room = 256 * 1024;

constexpr std::string_view spaces = " \t\n\v\f\r";

// The count at `pos`, as a number of faces: an optional sign and decimal digits in the signed
// 32-bit range, or 0 (as are all negative counts). Leaves `pos` after the sign and digits.
long long read_count(std::string_view input, std::size_t& pos) {
  pos = std::min(input.find_first_not_of(spaces, pos), input.size());
  const bool negative = pos < input.size() && input[pos] == '-';
  if (pos < input.size() && (input[pos] == '-' || input[pos] == '+')) ++pos;
  const std::size_t digits_start = pos;
  long long value = 0;
  for (; pos < input.size() && input[pos] >= '0' && input[pos] <= '9'; ++pos) {
    if (value <= 2147483647LL) value = value * 10 + (input[pos] - '0');
  }
  return pos == digits_start || negative || value > 2147483647LL ? 0 : value;
}

// What the program must write for `input`; stops once past `output_room` bytes.
std::string expected_output(std::string_view input) {
  std::string out;
  std::size_t pos = 0;
  for (;;) {
    out += prompt_text;
    const std::size_t start = std::min(input.find_first_not_of(spaces, pos), input.size());
    if (start == input.size()) return out + "\n";
    pos = std::min(input.find_first_of(spaces, start), input.size());
    const std::string_view word = input.substr(start, pos - start);
    if (std::find(std::begin(known_dice), std::end(known_dice), word) != std::end(known_dice)) {
      // Every pass reseeds from the same second. Each face takes two bytes or more, so faces
      // beyond half the room cannot be written.
      const long long faces = std::min<long long>(read_count(input, pos), output_room / 2);
      out += oracle_batch(word, loop_time, static_cast<int>(faces));
      if (out.size() > output_room) return out;
    }
    if (word == "exit" || word == "Exit") return out;
  }
}

[[noreturn]] void broken(const char* promise, const std::string& got, const std::string& want) {
  std::fprintf(stderr,
               "broken promise: %s\n--- got %zu bytes:\n%.2000s\n--- want %zu bytes:\n%.2000s\n",
               promise, got.size(), got.c_str(), want.size(), want.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const LoopRun r = run_loop(input, output_room);

  const std::string want = expected_output(input);
  if (r.state.choice.size() > 8) broken("a long word kept short", r.state.choice, "8 bytes");
  if (r.status == 0) {
    if (r.out != want) broken("the dialogue, byte for byte", r.out, want);
    if (!r.err.empty()) broken("nothing on standard error", r.err, "");
  } else {
    // Only running out of room may fail, and only with what came before it written.
    if (r.status != 1 || want.size() <= output_room) broken("exit status", r.out, want);
    if (want.compare(0, r.out.size(), r.out) != 0) broken("output before the error", r.out, want);
    if (r.state.roll_index > 1000000) {
      broken("a batch ends at its first failed chunk", std::to_string(r.state.roll_index), "");
    }
    if (r.err.rfind("dice: write error: ", 0) != 0 || r.err.find('\n') != r.err.size() - 1) {
      broken("one line on standard error", r.err, "dice: write error: ...\n");
    }
  }
  return 0;
}
