#include "prompt_loop.h"

#include <algorithm>
#include <iomanip>
#include <istream>
#include <ostream>
#include <string>

#include "dice.h"
#include "generator.h"
#include "platform.h"

namespace {

constexpr std::array<std::string_view, 2> exit_words{"exit", "Exit"};

constexpr std::size_t longest_word = std::max(
    std::max_element(
        die_table.begin(), die_table.end(),
        [](const DieSpec& a, const DieSpec& b) { return a.word.size() < b.word.size(); })
        ->word.size(),
    std::max_element(exit_words.begin(), exit_words.end(),
                     [](std::string_view a, std::string_view b) { return a.size() < b.size(); })
        ->size());

// One byte more than any word that means something: a longer word keeps just enough of itself
// never to match, so memory stays bounded however long it is.
constexpr std::size_t kept_word_bytes = longest_word + 1;

// The classic white-space set, whatever the locale says.
constexpr bool is_white_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads one word into `word`; false at the end of input or when input cannot be read.
bool read_word(std::istream& in, std::string& word) {
  if (!(in >> std::setw(kept_word_bytes) >> word)) return false;
  // The rest of a longer word goes by in pieces that are thrown away.
  constexpr int piece_bytes = 4096;
  std::string rest;
  while (!is_white_space(in.peek()) && in >> std::setw(piece_bytes) >> rest) {
  }
  return true;
}

int report_error(std::ostream& err, const char* what, const char* reason) {
  err << "dice: " << what << " error: " << reason << '\n' << std::flush;
  return 1;
}

int report_write_error(std::ostream& err) {
  return report_error(err, "write", last_error_text());
}

}  // namespace

int run_prompt_loop(RollerState& state, std::istream& in, std::ostream& out, std::ostream& err,
                    const Clock& clock) {
  for (;;) {
    seed_generator(static_cast<std::uint32_t>(clock()));
    // No flush: whatever reads `in` is to show the prompt before it waits for the word.
    if (!(out << prompt_text)) return report_write_error(err);

    if (!read_word(in, state.choice)) {
      const char* read_failure = in.bad() ? last_error_text() : nullptr;
      // Leave a terminal, a pipe or a file with a complete last line.
      if (!(out << '\n').flush()) return report_write_error(err);
      return read_failure != nullptr ? report_error(err, "read", read_failure) : 0;
    }
    const auto* die = std::find_if(die_table.begin(), die_table.end(), [&](const DieSpec& known) {
      return known.word == state.choice;
    });
    if (die != die_table.end()) roll_batch(state, *die, in, out);
    if (!out) return report_write_error(err);
    if (std::find(exit_words.begin(), exit_words.end(), state.choice) != exit_words.end()) {
      return out.flush() ? 0 : report_write_error(err);
    }
  }
}
