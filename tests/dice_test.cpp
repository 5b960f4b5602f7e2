#include "dice.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string_view>
#include <utility>

#include "generator.h"
#include "oracle.h"

namespace {

std::string batch(const DieSpec& die, const std::string& count_text, std::uint32_t seed = 1) {
  RollerState state;
  state.choice = die.word;
  std::istringstream in(count_text);
  std::ostringstream out;
  seed_generator(seed);
  roll_batch(state, die, in, out);
  return out.str();
}

TEST(RollBatch, FacesAreTheCLibraryDrawsInOrder) {
  ASSERT_EQ(die_table.size(), std::size(known_dice));
  for (std::size_t row = 0; row < die_table.size(); ++row) {
    const DieSpec& die = die_table[row];
    const std::string_view word = known_dice[row];
    ASSERT_EQ(die.word, word);
    for (std::uint32_t seed : {0U, 1U, 1765000000U, 0x80000000U, 0xFFFFFFFFU})
      EXPECT_EQ(batch(die, "40", seed), oracle_batch(word, seed, 40)) << word << " seed " << seed;
  }
  // Batches whose faces end in the last bytes of an output chunk, the first or the second, for
  // faces of one, two and three digits: the line feed must still fit in the chunk, and no face
  // may run past it. Seeds are searched for counts that end there, one batch for each distance
  // from the chunk's end and width of the last face.
  const auto width = [](int face) -> std::size_t { return face < 10 ? 2 : face < 100 ? 3 : 4; };
  for (const DieSpec* die : {&die_table[1], &die_table[5], &die_table[6]}) {
    // Ending on the chunk's very last byte with a face of the widest kind is the case to have.
    const std::pair<std::size_t, std::size_t> last_byte_widest{0, width(die->sides)};
    for (const std::size_t chunk_end : {batch_chunk_bytes, 2 * batch_chunk_bytes}) {
      std::set<std::pair<std::size_t, std::size_t>> tried;  // distance from the end, last width
      for (std::uint32_t i = 0; i < 1000 && (i < 8 || !tried.count(last_byte_widest)); ++i) {
        // Spread out: a linear congruential generator's near seeds start alike.
        const std::uint32_t seed = i * 0x9E3779B9U;
        std::srand(seed);
        std::size_t length = 0;
        for (int count = 1; length < chunk_end; ++count) {
          const std::size_t last = width(std::rand() % die->sides + 1);
          length += last;
          if (length + 12 <= chunk_end || length > chunk_end) continue;
          if (!tried.emplace(chunk_end - length, last).second) continue;
          ASSERT_EQ(batch(*die, std::to_string(count), seed), oracle_batch(die->word, seed, count))
              << die->word << " seed " << seed << " count " << count;
        }
      }
      EXPECT_EQ(tried.count(last_byte_widest), 1U) << die->word << " " << chunk_end;
    }
  }
}

// The sanitizers' build is the one that compiles assertions.
#if !defined(NDEBUG) || defined(__SANITIZE_ADDRESS__)
TEST(RollBatchDeathTest, TakesOnlyTheTablesOwnRows) {
#ifdef NDEBUG
  FAIL() << "the sanitizers' build has no assertions: NDEBUG is defined";
#endif
  const DieSpec copy = die_table[1];
  EXPECT_DEATH(batch(copy, "1"), "Assertion");
}
#endif

}  // namespace
