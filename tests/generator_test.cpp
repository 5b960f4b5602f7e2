#include "generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// Drawn before anything seeds the generator, as the first thing this program does.
const std::vector<std::uint32_t> draws_before_any_seed = [] {
  std::vector<std::uint32_t> draws;
  draw_each(40, [&](std::uint32_t draw) { draws.push_back(draw); });
  return draws;
}();

// Draws `total` values in pieces of awkward sizes and checks them against std::rand(), whose
// draws are all taken first, as our generator may be std::rand itself.
void expect_c_library_sequence(std::uint32_t seed, std::size_t total) {
  static constexpr std::size_t piece_sizes[] = {1, 2, 3, 5, 30, 31, 32, 1000, 4065, 4099, 65536};
  std::srand(seed);
  std::vector<std::uint32_t> expected(total), draws;
  for (std::uint32_t& value : expected)
    value = static_cast<std::uint32_t>(std::rand());
  seed_generator(seed);
  for (std::size_t k = 0; draws.size() < total; ++k) {
    const std::size_t end = std::min(draws.size() + piece_sizes[k % std::size(piece_sizes)], total);
    draw_each(end - draws.size(), [&](std::uint32_t draw) { draws.push_back(draw); });
    ASSERT_EQ(draws.size(), end) << "seed " << seed;
  }
  const auto differs = std::mismatch(draws.begin(), draws.end(), expected.begin()).first;
  EXPECT_EQ(differs - draws.begin(), draws.end() - draws.begin()) << "seed " << seed;
}

TEST(Generator, DrawsExactlyTheCLibrarySequence) {
  // Before any seed, as if seeded with 1, as the C library's rand() does.
  std::srand(1);
  for (const std::uint32_t draw : draws_before_any_seed)
    EXPECT_EQ(draw, static_cast<std::uint32_t>(std::rand()));
  // Seeded as the loop seeds it, first with 0, as in 1970 or 2106: the same seed again restarts
  // the same sequence, and a seed after another is not taken for it, 1 (the words before any
  // seed) included. 0x7FFFFFFF makes a word of 0 on the way to its state.
  for (std::uint32_t seed : {0U, 0x7FFFFFFFU, 0U, 0x7FFFFFFFU, 0x7FFFFFFFU, 5U, 1U})
    expect_c_library_sequence(seed, 100);
  for (std::uint32_t seed : {0U, 1U, 2U, 16807U, 127773U, 0x7FFFFFFFU, 0x80000000U, 0xFFFFFFFFU})
    expect_c_library_sequence(seed, 20000);
  // A spread over the whole 32-bit range, all of today's clock values among them.
  for (std::uint64_t seed = 12345; seed <= 0xFFFFFFFF; seed += 4294967291 / 1000)
    expect_c_library_sequence(static_cast<std::uint32_t>(seed), 5000);
  // Long runs.
  expect_c_library_sequence(1765000000, 10000000);
  expect_c_library_sequence(0xDEADBEEF, 3000000);
}

}  // namespace
