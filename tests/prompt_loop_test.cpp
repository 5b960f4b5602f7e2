#include "prompt_loop.h"

#include <gtest/gtest.h>

#include <utility>

#include "loop_run.h"
#include "oracle.h"

namespace {

const std::string P(prompt_text);
constexpr std::uint32_t s = loop_time;

// The dialogue itself, word by word, is held by the fuzzer's model over its corpus
// (fuzz_corpus_replay); these cases need a clock, a stream or a sink of their own.

TEST(PromptLoop, ReseedsFromTheClockAtEveryPass) {
  // Only the low 32 bits of the time make the seed, all 32 of them: past 2038 as past 2106.
  const std::int64_t times[] = {500, 3000000000, (std::int64_t{1} << 32) + 77, 0};
  const std::int64_t* now = times;
  EXPECT_EQ(run_loop("d100 8 d12 6 d12 6 Exit", no_end, [&] { return *now++; }).out,
            P + oracle_batch("d100", 500, 8) + P + oracle_batch("d12", 3000000000U, 6) + P +
                oracle_batch("d12", 77, 6) + P);
}

// A read error is told after the last line (end_to_end, over real descriptors), unless that line
// is lost: lost output is what must be told.
TEST(PromptLoop, AReadErrorWhoseLastLineIsLostIsAWriteError) {
  const LoopRun r = run_loop("exit", P.size(), at_loop_time, std::ios_base::badbit);
  EXPECT_EQ(r.err.rfind("dice: write error: ", 0), 0U) << r.err;
}

TEST(PromptLoop, AWriteErrorStopsItWithOneLineOnStandardError) {
  // At the last byte of the run, at the end of input or after the exit word, which only the last
  // flush can find.
  const std::string batch = oracle_batch("d6", s, 3);
  for (const auto& [input, output] :
       {std::pair{"d6 3", P + batch + P + "\n"}, std::pair{"d6 3 exit", P + batch + P}}) {
    const LoopRun r = run_loop(input, output.size() - 1);
    EXPECT_EQ(r.status, 1) << input;
    EXPECT_EQ(r.err.rfind("dice: write error: ", 0), 0U) << input;
  }
  // The largest count is taken whole, not clamped; the corpus sees the batch start and fail.
  EXPECT_EQ(run_loop("d4 2147483647", 100000).state.amount, 2147483647);
}

}  // namespace
