#pragma once

// The C runtime's pseudo-random sequence, exactly as std::srand and std::rand give it, from a copy
// of the generator of the runtime the program is built for, without a lock on every draw. The
// build picks the copy (CMake option DICE_GENERATOR) and defines DICE_GENERATOR_<COPY>. Each
// defines:
//   void seed_generator(std::uint32_t seed);  // restarts the sequence, as std::srand(seed) does
//   template <class Take> void draw_each(std::size_t count, Take&& take);
//       hands the next `count` values, as std::rand() would give them, to take(std::uint32_t), in
//       order; before any seed, as if seeded with 1

#if defined(DICE_GENERATOR_GLIBC)
#include "generator_glibc.h"  // the GNU C library's
#elif defined(DICE_GENERATOR_MSVCRT)
#include "generator_msvcrt.h"  // the Microsoft C runtime's
#elif defined(DICE_GENERATOR_RUNTIME)
#include "generator_runtime.h"  // any other runtime's: its own std::srand and std::rand
#else
#error "the build picks a generator: define DICE_GENERATOR_GLIBC, _MSVCRT or _RUNTIME"
#endif
