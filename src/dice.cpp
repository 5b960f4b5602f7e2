#include "dice.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <istream>
#include <ostream>

#include "platform.h"

namespace {

// A face as it is written: its digits and the space after it, padded to four bytes so that
// writing one is a single fixed-size copy.
struct FaceText {
  char text[4];
  std::uint32_t size;
};

constexpr int largest_die =
    std::ranges::max(die_table, {}, [](const DieSpec& die) { return die.sides; }).sides;
static_assert(largest_die < 1000, "a face and its space must fit in FaceText");

constexpr std::array<FaceText, largest_die + 1> face_texts = [] {
  std::array<FaceText, largest_die + 1> table{};
  for (int face = 1; face <= largest_die; ++face) {
    FaceText& entry = table[static_cast<std::size_t>(face)];
    const int digits = face < 10 ? 1 : face < 100 ? 2 : 3;
    for (int i = digits - 1, rest = face; i >= 0; --i, rest /= 10) {
      entry.text[i] = static_cast<char>('0' + rest % 10);
    }
    entry.text[digits] = ' ';
    entry.size = static_cast<std::uint32_t>(digits + 1);
  }
  return table;
}();

// Room a face may take in the chunk: ten digits and a space for a die outside the table.
constexpr std::size_t max_face_text = 11;

// Writes `face` and its space at `dst`; returns the bytes written.
std::size_t format_face(int face, char* dst) {
  if (face <= largest_die) {
    const FaceText& entry = face_texts[static_cast<std::size_t>(face)];
    std::memcpy(dst, entry.text, sizeof entry.text);
    return entry.size;
  }
  char* end = std::to_chars(dst, dst + max_face_text, face).ptr;
  *end++ = ' ';
  return static_cast<std::size_t>(end - dst);
}

// Output goes out in chunks this large, so a big batch costs few writes.
constexpr std::size_t chunk_size = 64 * 1024;

void write_faces(RollerState& state, int sides, std::ostream& out) {
  char chunk[chunk_size];
  std::size_t used = 0;
  for (state.roll_index = 0; state.roll_index < state.amount; ++state.roll_index) {
    if (chunk_size - used <= max_face_text) {  // keeps room for the line feed
      if (!out.write(chunk, static_cast<std::streamsize>(used))) return;
      used = 0;
    }
    used += format_face(draw_face(sides), chunk + used);
  }
  chunk[used++] = '\n';
  out.write(chunk, static_cast<std::streamsize>(used));
}

}  // namespace

int draw_face(int sides) {
  return draw_generator() % sides + 1;
}

void roll_batch(RollerState& state, const DieSpec& die, std::istream& in, std::ostream& out) {
  out << "dice chosen " << state.choice << "\namount of dice ";
  if (!out.flush()) return;
  // A count that cannot be read rolls nothing; the text that stopped it is left for the prompt.
  // Out of range is unreadable too, though its digits are gone: a typo must not mean two
  // billion dice.
  if (!(in >> state.amount)) {
    state.amount = 0;
    in.clear();
  }
  write_faces(state, die.sides, out);
}
