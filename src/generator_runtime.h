#pragma once

// The C runtime's own std::srand and std::rand, for a runtime whose generator we have no copy of.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

inline void seed_generator(std::uint32_t seed) {
  std::srand(seed);
}

template <class Take>
void draw_each(std::size_t count, Take&& take) {
  for (; count > 0; --count) {
    take(static_cast<std::uint32_t>(std::rand()));
  }
}
