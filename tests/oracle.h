#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

// What a batch of `count` dice must show after the generator was seeded with `seed`: the C
// library's own draws, one per face, each followed by a space.
inline std::string oracle_faces(std::uint32_t seed, int sides, int count) {
  std::srand(seed);
  std::string faces;
  for (int i = 0; i < count; ++i)
    faces += std::to_string(std::rand() % sides + 1) + ' ';
  return faces;
}

// All that a batch of `count` dice of `word` ("d20": twenty sides) writes after that seed.
inline std::string oracle_batch(std::string_view word, std::uint32_t seed, int count) {
  const int sides = std::stoi(std::string(word.substr(1)));
  std::string text = "dice chosen ";
  return text.append(word).append("\namount of dice ").append(oracle_faces(seed, sides, count)) +
         '\n';
}
