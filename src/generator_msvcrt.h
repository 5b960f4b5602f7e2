#pragma once

// The Microsoft C runtime's rand(), copied so that a draw takes no lock and no look-up of the
// thread's state: a linear congruential generator whose draws are bits 16 to 30 of its state.

#include <cstddef>
#include <cstdint>

namespace msvcrt {

inline constexpr std::uint32_t multiplier = 214013;
inline constexpr std::uint32_t increment = 2531011;
inline constexpr int draw_shift = 16;
inline constexpr std::uint32_t draw_mask = 0x7FFF;

inline std::uint32_t state = 1;

}  // namespace msvcrt

inline void seed_generator(std::uint32_t seed) {
  msvcrt::state = seed;
}

template <class Take>
void draw_each(std::size_t count, Take&& take) {
  using namespace msvcrt;
  std::uint32_t s = state;  // in a register for the whole run
  for (; count > 0; --count) {
    s = s * multiplier + increment;
    take((s >> draw_shift) & draw_mask);
  }
  state = s;
}
