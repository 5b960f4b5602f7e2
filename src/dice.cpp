#include "dice.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <istream>
#include <ostream>
#include <utility>

#include "generator.h"

namespace {

constexpr int decimal_digits(int value) {
  int digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

// A face as it is written: its digits and the space after it, padded to four bytes so that
// writing one is a single fixed-size copy.
struct FaceText {
  std::array<char, 4> text;
  std::uint32_t size;
};

constexpr int largest_die =
    std::max_element(die_table.begin(), die_table.end(), [](const DieSpec& a, const DieSpec& b) {
      return a.sides < b.sides;
    })->sides;
static_assert(decimal_digits(largest_die) + 1 <= sizeof(FaceText::text),
              "a face and its space must fit in FaceText");

constexpr std::array<FaceText, largest_die + 1> face_texts = [] {
  std::array<FaceText, largest_die + 1> table{};
  for (int face = 1; face <= largest_die; ++face) {
    FaceText& entry = table[static_cast<std::size_t>(face)];
    const auto digits = static_cast<std::size_t>(decimal_digits(face));
    for (int rest = face, i = static_cast<int>(digits) - 1; i >= 0; rest /= 10, --i) {
      entry.text[static_cast<std::size_t>(i)] = static_cast<char>('0' + rest % 10);
    }
    entry.text[digits] = ' ';
    entry.size = static_cast<std::uint32_t>(digits + 1);
  }
  return table;
}();

// Rolls the batch into chunks and writes them, in one pass from the generator to the text:
// `put` writes the face of one draw at a cursor, in at most a FaceText's bytes, and returns the
// cursor after it.
template <class Put>
void write_faces(RollerState& state, std::ostream& out, Put put) {
  constexpr std::size_t face_room = sizeof(FaceText::text);
  std::array<char, batch_chunk_bytes> chunk;
  char* cursor = chunk.data();
  const char* const faces_end = chunk.data() + chunk.size() - 1;  // the line feed's byte kept
  for (state.roll_index = 0; state.roll_index < state.amount;) {
    const auto room = static_cast<std::size_t>(faces_end - cursor) / face_room;
    if (room == 0) {
      if (!out.write(chunk.data(), cursor - chunk.data())) return;
      cursor = chunk.data();
      continue;
    }
    const auto round = static_cast<std::size_t>(std::min<std::int64_t>(
        static_cast<std::int64_t>(room), std::int64_t{state.amount} - state.roll_index));
    draw_each(round, [&](std::uint32_t draw) { cursor = put(draw, cursor); });
    state.roll_index += static_cast<std::int32_t>(round);
  }
  *cursor++ = '\n';
  out.write(chunk.data(), cursor - chunk.data());
}

// A die of the table: its sides a constant, its faces copied from the table four bytes at once.
template <std::size_t Row>
void write_table_faces(RollerState& state, std::ostream& out) {
  static constexpr auto sides = static_cast<std::uint32_t>(die_table[Row].sides);
  write_faces(state, out, [](std::uint32_t draw, char* cursor) {
    const FaceText& entry = face_texts[draw_face(sides, draw)];
    std::memcpy(cursor, entry.text.data(), entry.text.size());
    // One digit and a space for every face of a small die: no need to look its width up.
    if constexpr (sides < 10) {
      return cursor + 2;
    } else {
      return cursor + entry.size;
    }
  });
}

using BatchWriter = void (*)(RollerState&, std::ostream&);

constexpr auto table_writers = []<std::size_t... Rows>(std::index_sequence<Rows...>) {
  return std::array<BatchWriter, sizeof...(Rows)>{&write_table_faces<Rows>...};
}
(std::make_index_sequence<die_table.size()>{});

}  // namespace

void roll_batch(RollerState& state, const DieSpec& die, std::istream& in, std::ostream& out) {
  if (!(out << "dice chosen " << state.choice << "\namount of dice ")) return;
  // A count that cannot be read rolls nothing; the text that stopped it is left for the prompt.
  // Out of range is unreadable too, though its digits are gone: a typo must not mean two
  // billion dice. The end of input or a failed read stays for the loop to find, so one Ctrl-D
  // at a terminal is enough.
  if (!(in >> state.amount)) {
    state.amount = 0;
    if (!in.eof() && !in.bad()) in.clear();
  }
  // The row itself, not a copy: its place in the table picks its writer.
  assert(std::any_of(die_table.begin(), die_table.end(),
                     [&](const DieSpec& row) { return &row == &die; }));
  table_writers[static_cast<std::size_t>(&die - die_table.data())](state, out);
}
