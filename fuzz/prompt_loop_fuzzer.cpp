// Feeds arbitrary bytes to the prompt loop as its input, with a fixed clock, and holds what it
// writes to a model of the dialogue written apart from the program: prompts; batches of the
// named die with exactly the C runtime's faces, as many as the count read; and the right ending.
// A long word is passed over whole here; that it costs bounded memory is end_to_end's to see, as
// it is a matter of the process, not of the dialogue.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

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

}  // namespace

bool dialogue_holds(std::string_view input, std::FILE* report) {
  const LoopRun r = run_loop(std::string(input), output_room);
  const std::string want = expected_output(input);
  // Says where got and want first differ, with a little of each around that point, each byte
  // that is no printable character as \x0a.
  const auto broken = [&](const char* promise, std::string_view got, std::string_view wanted) {
    const auto at = static_cast<std::size_t>(
        std::mismatch(got.begin(), got.end(), wanted.begin(), wanted.end()).first - got.begin());
    std::fprintf(report, "  broken promise: %s (exit status %d), first difference at byte %zu:\n",
                 promise, r.status, at);
    for (const auto& [name, text] : {std::pair{"got: ", got}, std::pair{"want:", wanted}}) {
      std::fprintf(report, "    %s %7zu bytes: ", name, text.size());
      for (const char c : text.substr(std::min(at < 40 ? 0 : at - 40, text.size()), 80))
        std::fprintf(report, c < ' ' || c > '~' ? "\\x%02x" : "%c", static_cast<unsigned char>(c));
      std::fputc('\n', report);
    }
    return false;
  };
  if (r.status == 0 && r.out != want) return broken("the dialogue, byte for byte", r.out, want);
  if (r.status == 0) return r.err.empty() || broken("nothing on standard error", r.err, "");
  // Only running out of room may fail, and only with what came before it written.
  if (r.status != 1 || want.size() <= output_room)
    return broken("a failure only for a full disk", r.out, want);
  if (!want.starts_with(r.out))
    return broken("output before the error", r.out, want.substr(0, r.out.size()));
  if (r.state.roll_index > 1000000) {
    return broken("a batch ends at its first failed chunk", std::to_string(r.state.roll_index),
                  "at most 1000000 faces");
  }
  if (!r.err.starts_with("dice: write error: ") || r.err.find('\n') != r.err.size() - 1)
    return broken("one line on standard error", r.err, "dice: write error: ...\n");
  return true;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An abort is how libFuzzer learns to keep the input.
  if (!dialogue_holds({reinterpret_cast<const char*>(data), size}, stderr)) std::abort();
  return 0;
}
