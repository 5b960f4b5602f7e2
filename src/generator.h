#pragma once

// The C runtime's pseudo-random sequence, exactly as std::srand and std::rand give it, from a copy
// of the generator of the runtime the program is built for, without a lock on every draw. The
// build picks the copy (CMake option DICE_GENERATOR) and names it in DICE_GENERATOR_COPY:
//   generator_glibc.h    the GNU C library's
//   generator_msvcrt.h   the Microsoft C runtime's
//   generator_runtime.h  any other runtime's: its own std::srand and std::rand
// Each defines:
//   void seed_generator(std::uint32_t seed);  // restarts the sequence, as std::srand(seed) does
//   template <class Take> void draw_each(std::size_t count, Take&& take);
//       hands the next `count` values, as std::rand() would give them, to take(std::uint32_t), in
//       order; before any seed, as if seeded with 1

#include DICE_GENERATOR_COPY
