#include "dice.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string_view>
#include <utility>

#include "oracle.h"
#include "platform.h"

namespace {

constexpr const DieSpec& d6 = die_table[1];

// The dice as a player knows them, written out apart from die_table so that a slip there shows.
constexpr std::pair<std::string_view, int> known_dice[] = {
    {"d4", 4}, {"d6", 6}, {"d8", 8}, {"d10", 10}, {"d12", 12}, {"d20", 20}, {"d100", 100}};

std::string batch(const DieSpec& die, const std::string& count_text, std::uint32_t seed = 1) {
  RollerState state;
  state.choice = die.word;
  std::istringstream in(count_text);
  std::ostringstream out;
  seed_generator(seed);
  roll_batch(state, die, in, out);
  return out.str();
}

std::string head(const DieSpec& die) {
  return "dice chosen " + std::string(die.word) + "\namount of dice ";
}

TEST(RollBatch, FacesAreTheCLibraryDrawsInOrder) {
  ASSERT_EQ(die_table.size(), std::size(known_dice));
  for (std::size_t row = 0; row < die_table.size(); ++row) {
    const DieSpec& die = die_table[row];
    const auto& [word, sides] = known_dice[row];
    ASSERT_EQ(die.word, word);
    for (std::uint32_t seed : {0U, 1U, 1765000000U, 0x80000000U, 0xFFFFFFFFU}) {
      EXPECT_EQ(batch(die, "40", seed), head(die) + oracle_faces(seed, sides, 40) + "\n")
          << word << " seed " << seed;
    }
  }
  // Larger than one output chunk.
  const DieSpec& d100 = die_table.back();
  EXPECT_EQ(batch(d100, "100000", 9), head(d100) + oracle_faces(9, 100, 100000) + "\n");
  // A die beyond the face table still gets its faces, at their full width.
  const DieSpec huge{"huge", 2000000000};
  EXPECT_EQ(batch(huge, "20000", 3), head(huge) + oracle_faces(3, huge.sides, 20000) + "\n");
}

TEST(RollBatch, CountsThatRollNothingLeaveAnEmptyLine) {
  for (const char* count :
       {"0", "-1", "-2147483648", "", "abc", "99999999999", "-99999999999", "2147483648"}) {
    EXPECT_EQ(batch(d6, count), head(d6) + "\n") << '"' << count << '"';
  }
  EXPECT_EQ(batch(d6, "1", 5), head(d6) + oracle_faces(5, 6, 1) + "\n");
}

}  // namespace
