#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

// What a batch of `count` dice must show after the generator was seeded with `seed`: the C
// library's own draws, one per face, each followed by a space.
inline std::string oracle_faces(std::uint32_t seed, int sides, int count) {
  std::srand(seed);
  std::string faces;
  for (int i = 0; i < count; ++i)
    faces += std::to_string(std::rand() % sides + 1) + ' ';
  return faces;
}
