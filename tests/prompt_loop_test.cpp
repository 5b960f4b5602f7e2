#include "prompt_loop.h"

#include <gtest/gtest.h>

#include <sstream>

#include "loop_run.h"
#include "oracle.h"

namespace {

const std::string P(prompt_text);
constexpr std::uint32_t s = loop_time;

TEST(PromptLoop, OnlyTheTwoExitWordsEndIt) {
  for (const char* input : {"exit", "Exit", " \t\r\n\v\fexit trailing words"}) {
    const LoopRun r = run_loop(input);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, P) << input;
  }
  const LoopRun r = run_loop("EXIT exiT exitexit exit");
  EXPECT_EQ(r.out, P + P + P + P);
  EXPECT_EQ(r.status, 0);
}

TEST(PromptLoop, OtherWordsPassInSilence) {
  // "d 6" is two words; none of these is a die.
  EXPECT_EQ(run_loop("D6 d 6 d6, 6 d1000 dd6 exit").out, P + P + P + P + P + P + P + P);
}

TEST(PromptLoop, EachDieWordRollsItsBatchWithTheCLibraryFaces) {
  EXPECT_EQ(run_loop("foo d4 1 exit").out, P + P + oracle_batch("d4", s, 1) + P);
  // A count typed on the prompt's line is taken at once.
  EXPECT_EQ(run_loop("d6 3\nexit\n").out, P + oracle_batch("d6", s, 3) + P);
  // "3d6" at the count prompt: three of the chosen die, then "d6" is the next word.
  EXPECT_EQ(run_loop("d20 3d6 2 exit").out,
            P + oracle_batch("d20", s, 3) + P + oracle_batch("d6", s, 2) + P);
  // Each white-space character ends a word, and lines may end "\r\n", as Windows writes them.
  EXPECT_EQ(run_loop("d6\r\n3\r\nd4\t2 foo\vd8\f1 bar\nd10 1 Exit\r\n").out,
            P + oracle_batch("d6", s, 3) + P + oracle_batch("d4", s, 2) + P + P +
                oracle_batch("d8", s, 1) + P + P + oracle_batch("d10", s, 1) + P);
}

TEST(PromptLoop, ReseedsFromTheClockAtEveryPass) {
  std::int64_t now = 500;
  const LoopRun r = run_loop("d100 8 d100 8 Exit", no_end, [&] { return now++; });
  EXPECT_EQ(r.out, P + oracle_batch("d100", 500, 8) + P + oracle_batch("d100", 501, 8) + P);
  // Within one second the sequence restarts: the same draws, whatever the die.
  EXPECT_EQ(run_loop("d6 9 d6 9 d20 9 exit").out, P + oracle_batch("d6", s, 9) + P +
                                                      oracle_batch("d6", s, 9) + P +
                                                      oracle_batch("d20", s, 9) + P);
  // Only the low 32 bits of the time make the seed, all 32 of them: past 2038 as past 2106.
  EXPECT_EQ(run_loop("d12 6 exit", no_end, [] { return (std::int64_t{1} << 32) + 77; }).out,
            P + oracle_batch("d12", 77, 6) + P);
  EXPECT_EQ(run_loop("d12 6 exit", no_end, [] { return std::int64_t{3000000000}; }).out,
            P + oracle_batch("d12", 3000000000U, 6) + P);
}

TEST(PromptLoop, EndOfInputEndsTheLastLine) {
  const std::pair<const char*, std::string> cases[] = {
      {"", P + "\n"},
      {" \n", P + "\n"},
      {"foo", P + P + "\n"},
      {"d8", P + oracle_batch("d8", s, 0) + P + "\n"},  // at the count prompt: an empty batch
  };
  for (const auto& [input, expected] : cases) {
    const LoopRun r = run_loop(input);
    EXPECT_EQ(r.status, 0) << input;
    EXPECT_EQ(r.out, expected) << input;
  }
  // A read error is told after the last line is complete: at a terminal both streams are one
  // screen.
  std::istringstream unreadable("exit");
  unreadable.setstate(std::ios_base::badbit);
  std::ostringstream screen;
  RollerState state;
  EXPECT_EQ(run_prompt_loop(state, unreadable, screen, screen, [] { return 0; }), 1);
  EXPECT_EQ(screen.str().rfind(P + "\ndice: read error: ", 0), 0U) << screen.str();
}

TEST(PromptLoop, UnreadableCountRollsNothingAndItsTextIsTheNextWord) {
  const std::string empty_d6 = oracle_batch("d6", s, 0);
  EXPECT_EQ(run_loop("d6 d20 2").out, P + empty_d6 + P + oracle_batch("d20", s, 2) + P + "\n");
  EXPECT_EQ(run_loop("d6 abc exit").out, P + empty_d6 + P + P);
  // Out of range: no dice, and the digits are gone.
  for (const char* count : {"99999999999", "-99999999999", "2147483648", "-2147483649"})
    EXPECT_EQ(run_loop(std::string("d6 ") + count + " exit").out, P + empty_d6 + P) << count;
}

TEST(PromptLoop, KeepsOnlyAShortPrefixOfALongWord) {
  const LoopRun r = run_loop("exit" + std::string(1 << 22, 'x'));
  EXPECT_EQ(r.out, P + P + "\n");  // not an exit word, then the end of input
  EXPECT_LE(r.state.choice.size(), 8U);
  EXPECT_EQ(run_loop(std::string(1 << 20, '\0') + " d100000 exit").out, P + P + P);
}

TEST(PromptLoop, AWriteErrorStopsItWithOneLineOnStandardError) {
  for (std::size_t room : {0UL, 50UL, 200000UL}) {
    const LoopRun r = run_loop("d6 3 d6 2000000000 exit", room);
    EXPECT_EQ(r.status, 1) << room;
    EXPECT_EQ(r.err.rfind("dice: write error: ", 0), 0U) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    // A huge batch stops at its first failed chunk.
    EXPECT_LT(r.state.roll_index, 1000000);
  }
  // The last byte of the run, at the end of input or after the exit word, fails too.
  const std::string batch = oracle_batch("d6", s, 3);
  for (const auto& [input, output] :
       {std::pair{"d6 3", P + batch + P + "\n"}, std::pair{"d6 3 exit", P + batch + P}}) {
    const LoopRun r = run_loop(input, output.size() - 1);
    EXPECT_EQ(r.status, 1) << input;
    EXPECT_EQ(r.err.rfind("dice: write error: ", 0), 0U) << input;
  }
  // The largest count is honoured: the batch starts, and stops at the failure.
  const LoopRun r = run_loop("d4 2147483647", 100000);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.state.amount, 2147483647);
  EXPECT_GT(r.state.roll_index, 10000);
}

}  // namespace
