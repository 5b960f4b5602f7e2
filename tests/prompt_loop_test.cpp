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
  std::int64_t now = 500;
  const LoopRun r = run_loop("d100 8 d100 8 Exit", no_end, [&] { return now++; });
  EXPECT_EQ(r.out, P + oracle_batch("d100", 500, 8) + P + oracle_batch("d100", 501, 8) + P);
  // Only the low 32 bits of the time make the seed, all 32 of them: past 2038 as past 2106.
  EXPECT_EQ(run_loop("d12 6 exit", no_end, [] { return (std::int64_t{1} << 32) + 77; }).out,
            P + oracle_batch("d12", 77, 6) + P);
  EXPECT_EQ(run_loop("d12 6 exit", no_end, [] { return std::int64_t{3000000000}; }).out,
            P + oracle_batch("d12", 3000000000U, 6) + P);
}

TEST(PromptLoop, AReadErrorIsToldAfterTheLastLine) {
  const LoopRun r = run_loop("exit", no_end, at_loop_time, std::ios_base::badbit);
  EXPECT_EQ(std::pair(r.status, r.out), std::pair(1, P + "\n"));
  EXPECT_EQ(r.err.rfind("dice: read error: ", 0), 0U) << r.err;
  // Unless that last line is lost: lost output is what must be told.
  const LoopRun lost = run_loop("exit", P.size(), at_loop_time, std::ios_base::badbit);
  EXPECT_EQ(lost.err.rfind("dice: write error: ", 0), 0U) << lost.err;
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
