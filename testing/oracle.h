#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

// The dice as a player knows them, written out apart from die_table so that a slip there shows;
// each word tells its sides.
inline constexpr std::string_view known_dice[] = {"d4", "d6", "d8", "d10", "d12", "d20", "d100"};

// All that a batch of `count` dice of `word` ("d20": twenty sides) writes after the generator was
// seeded with `seed`: the C library's own draws, one per face, each followed by a space.
inline std::string oracle_batch(std::string_view word, std::uint32_t seed, int count) {
  const int sides = std::stoi(std::string(word.substr(1)));
  std::string text = "dice chosen ";
  text.append(word).append("\namount of dice ");
  std::srand(seed);
  for (int i = 0; i < count; ++i)
    text.append(std::to_string(std::rand() % sides + 1)).append(" ");
  return text + '\n';
}
