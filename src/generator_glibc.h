#pragma once

// The GNU C library's rand(), copied so that a draw takes no lock and a batch can take its draws
// straight to faces.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace glibc {

// An additive feedback generator: each new word is the sum of the words 31 and 3 places back; a
// draw is the new word without its lowest bit.
inline constexpr std::size_t lag = 31;
inline constexpr std::size_t tap = 3;
inline constexpr std::size_t discarded_draws = 310;

// The words of a new seed: each 16807 times the one before, modulo 2^31 - 1 (the "minimal
// standard" generator), worked out by Schrage's method: modulus = multiplier * q + r.
inline constexpr std::int32_t multiplier = 16807;
inline constexpr std::int32_t modulus = 2147483647;
inline constexpr std::int32_t schrage_q = modulus / multiplier;  // 127773
inline constexpr std::int32_t schrage_r = modulus % multiplier;  // 2836

// The live words just after seeding with `seed`, as glibc's srand(seed) leaves them.
constexpr std::array<std::uint32_t, lag> seeded_words(std::uint32_t seed) {
  // The seed taken as a signed word: Schrage's method on a negative word differs from a true
  // modulo, for seeds of 2^31 and above, and so must we.
  std::array<std::uint32_t, lag> initial{};
  std::int32_t word = seed == 0 ? 1 : static_cast<std::int32_t>(seed);
  initial[0] = static_cast<std::uint32_t>(word);
  for (std::size_t i = 1; i < lag; ++i) {
    const std::int32_t hi = word / schrage_q;
    const std::int32_t lo = word % schrage_q;
    word = multiplier * lo - schrage_r * hi;
    if (word < 0) word += modulus;
    initial[i] = static_cast<std::uint32_t>(word);
  }
  // The first new word adds word 0 to word 3: the line starts at word 3 and wraps round to end
  // with words 0 to 2. The first draws are thrown away.
  std::array<std::uint32_t, lag + discarded_draws> line{};
  std::rotate_copy(initial.begin(), initial.begin() + tap, initial.end(), line.begin());
  for (std::size_t i = lag; i < line.size(); ++i)
    line[i] = line[i - lag] + line[i - tap];
  std::array<std::uint32_t, lag> live{};
  std::copy(line.end() - lag, line.end(), live.begin());
  return live;
}

struct Generator {
  // The sequence laid out in a line, so a run of draws needs no wrap-around; the `lag` words
  // before `next` are the live ones. 4096 - 31 is a multiple of 3, for draw_each.
  std::array<std::uint32_t, 4096> words;  // NOLINT(readability-magic-numbers): a page of words
  std::size_t next;                       // where the next word goes; 0 until a seed is laid out
};

// Passes within one second seed alike: the live words of the last seed, laid out again without
// seeding again (that costs 340 steps, more than a small batch's faces). Before any seed they are
// seed 1's, as glibc's rand() draws before any srand(). Kept apart from `generator`, which starts
// as zeros, so the program carries no page of them.
struct LastSeed {
  std::array<std::uint32_t, lag> words = seeded_words(1);
  std::uint32_t seed = 1;
};

inline Generator generator{};
inline LastSeed last_seed{};

inline void lay_out_last_seed(Generator& g) {
  std::copy(last_seed.words.begin(), last_seed.words.end(), g.words.begin());
  g.next = lag;
}

inline void make_room(Generator& g) {
  if (g.next < g.words.size()) return;
  std::copy(g.words.end() - lag, g.words.end(), g.words.begin());
  g.next = lag;
}

inline std::uint32_t step(Generator& g) {
  make_room(g);
  const std::uint32_t word = g.words[g.next - lag] + g.words[g.next - tap];
  g.words[g.next++] = word;
  return word >> 1;
}

}  // namespace glibc

inline void seed_generator(std::uint32_t seed) {
  using namespace glibc;
  if (seed != last_seed.seed) last_seed = {seeded_words(seed), seed};
  lay_out_last_seed(generator);
}

template <class Take>
void draw_each(std::size_t count, Take&& take) {
  using namespace glibc;
  Generator& g = generator;
  if (g.next == 0) lay_out_last_seed(g);
  while (count > 0) {
    make_room(g);
    const std::size_t run = std::min(count, g.words.size() - g.next) / tap * tap;
    if (run == 0) {
      take(step(g));
      --count;
      continue;
    }
    // The words 3 places back are carried in three running sums, so the only memory a new word
    // reads is the one 31 places back.
    std::uint32_t* w = g.words.data();
    std::uint32_t a = w[g.next - 3];
    std::uint32_t b = w[g.next - 2];
    std::uint32_t c = w[g.next - 1];
    for (std::size_t i = g.next; i < g.next + run; i += tap) {
      a += w[i - lag];
      b += w[i + 1 - lag];
      c += w[i + 2 - lag];
      w[i] = a;
      w[i + 1] = b;
      w[i + 2] = c;
      take(a >> 1);
      take(b >> 1);
      take(c >> 1);
    }
    g.next += run;
    count -= run;
  }
}
