#pragma once

// The dice the program knows and the roll batch that throws them.

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string_view>

#include "roller_state.h"

// One kind of die.
struct DieSpec {
  std::string_view word;  // its name at the prompt, matched byte for byte
  int sides;              // faces are numbered 1 to sides
};

// The dice in the order the prompt names them.
inline constexpr std::array<DieSpec, 7> die_table{{
    {"d4", 4},
    {"d6", 6},
    {"d8", 8},
    {"d10", 10},
    {"d12", 12},
    {"d20", 20},
    {"d100", 100},
}};

// The face rule, draw % sides + 1, with the division turned into multiplications by a
// reciprocal worked out once for a batch, since the sides stay the same for all its faces.
struct FaceRule {
  std::uint64_t reciprocal;  // 2^64 / sides, rounded up
  std::uint32_t sides;
};

constexpr FaceRule face_rule(int sides) {
  const auto d = static_cast<std::uint32_t>(sides);
  return {UINT64_MAX / d + 1, d};
}

// The face that one generator draw (0 to 2^31 - 1) shows.
inline int draw_face(const FaceRule& rule, std::uint32_t draw) {
  // The fraction draw / sides, kept in 64 bits, times sides gives the remainder in the upper
  // half (Lemire, Kaser and Kurz, "Faster Remainder by Direct Computation", 2019).
  __extension__ using u128 = unsigned __int128;
  constexpr int fraction_bits = 64;
  const std::uint64_t fraction = rule.reciprocal * draw;
  return static_cast<int>((static_cast<u128>(fraction) * rule.sides) >> fraction_bits) + 1;
}

// Echoes the chosen die, asks for a count and writes that many faces on one line.
// Returns early once `out` has failed.
void roll_batch(RollerState& state, const DieSpec& die, std::istream& in, std::ostream& out);
