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

// Faces go out in chunks of up to this many bytes, so a big batch costs few writes. Measured with
// bench/run_bench.py on a 2-core machine: 64 KiB (a pipe's whole buffer) was the fastest into a
// pipe; larger chunks gained nothing to /dev/null.
constexpr std::size_t chunk_size = 64 * 1024;

// Draws are taken a round at a time; a round's faces always fit in what a chunk has left.
constexpr std::size_t draws_per_round = 1024;

void write_faces(RollerState& state, int sides, std::ostream& out) {
  const FaceRule rule = face_rule(sides);
  const std::size_t face_room = sides <= largest_die ? sizeof(FaceText::text) : max_face_text;
  const std::size_t round_room = draws_per_round * face_room + 1;  // and the line feed
  char chunk[chunk_size];
  std::uint32_t draws[draws_per_round];
  std::size_t used = 0;
  for (state.roll_index = 0; state.roll_index < state.amount;) {
    if (chunk_size - used < round_room) {
      if (!out.write(chunk, static_cast<std::streamsize>(used))) return;
      used = 0;
    }
    const auto round = static_cast<std::size_t>(
        std::min<std::int64_t>(draws_per_round, std::int64_t{state.amount} - state.roll_index));
    draw_generator(std::span(draws, round));
    for (std::size_t i = 0; i < round; ++i) {
      used += format_face(draw_face(rule, draws[i]), chunk + used);
    }
    state.roll_index += static_cast<std::int32_t>(round);
  }
  chunk[used++] = '\n';
  out.write(chunk, static_cast<std::streamsize>(used));
}

}  // namespace

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
