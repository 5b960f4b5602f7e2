#include "prompt_loop.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <streambuf>

#include "oracle.h"

namespace {

const std::string P(prompt_text);

std::string head(const std::string& word) {
  return "dice chosen " + word + "\namount of dice ";
}

struct LoopRun {
  int status;
  std::string out;
  std::string err;
  RollerState state;
};

LoopRun run(
    const std::string& input, const Clock& clock = [] { return 1765000000; }) {
  LoopRun r{};
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  r.status = run_prompt_loop(r.state, in, out, err, clock);
  r.out = out.str();
  r.err = err.str();
  return r;
}

TEST(PromptLoop, OnlyTheTwoExitWordsEndIt) {
  for (const char* input : {"exit", "Exit", " \t\r\n\v\fexit trailing words"}) {
    const LoopRun r = run(input);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, P) << input;
  }
  const LoopRun r = run("EXIT exiT exitexit exit");
  EXPECT_EQ(r.out, P + P + P + P);
  EXPECT_EQ(r.status, 0);
}

TEST(PromptLoop, OtherWordsPassInSilence) {
  // "d 6" is two words; none of these is a die.
  EXPECT_EQ(run("D6 d 6 d6, 6 d1000 dd6 exit").out, P + P + P + P + P + P + P + P);
}

TEST(PromptLoop, DialoguesFaceForFace) {
  const std::uint32_t s = 1765000000;
  EXPECT_EQ(run("foo d4 1 exit").out, P + P + head("d4") + oracle_faces(s, 4, 1) + "\n" + P);
  // A count typed on the prompt's line is taken at once.
  EXPECT_EQ(run("d6 3\nexit\n").out, P + head("d6") + oracle_faces(s, 6, 3) + "\n" + P);
  // "3d6" at the count prompt: three of the chosen die, then "d6" is the next word.
  EXPECT_EQ(run("d20 3d6 2 exit").out, P + head("d20") + oracle_faces(s, 20, 3) + "\n" + P +
                                           head("d6") + oracle_faces(s, 6, 2) + "\n" + P);
  // Each white-space character ends a word, and lines may end "\r\n", as Windows writes them.
  EXPECT_EQ(run("d6\r\n3\r\nd4\t2 foo\vd8\f1 bar\nd10 1 Exit\r\n").out,
            P + head("d6") + oracle_faces(s, 6, 3) + "\n" + P + head("d4") + oracle_faces(s, 4, 2) +
                "\n" + P + P + head("d8") + oracle_faces(s, 8, 1) + "\n" + P + P + head("d10") +
                oracle_faces(s, 10, 1) + "\n" + P);
}

TEST(PromptLoop, ReseedsFromTheClockAtEveryPass) {
  std::int64_t now = 500;
  const LoopRun r = run("d100 8 d100 8 Exit", [&] { return now++; });
  EXPECT_EQ(r.out, P + head("d100") + oracle_faces(500, 100, 8) + "\n" + P + head("d100") +
                       oracle_faces(501, 100, 8) + "\n" + P);
  // Within one second the sequence restarts: the same draws, whatever the die.
  const std::uint32_t s = 1765000000;
  EXPECT_EQ(run("d6 9 d6 9 d20 9 exit").out, P + head("d6") + oracle_faces(s, 6, 9) + "\n" + P +
                                                 head("d6") + oracle_faces(s, 6, 9) + "\n" + P +
                                                 head("d20") + oracle_faces(s, 20, 9) + "\n" + P);
  // Only the low 32 bits of the time make the seed, all 32 of them: past 2038 as past 2106.
  const LoopRun late = run("d12 6 exit", [] { return (std::int64_t{1} << 32) + 77; });
  EXPECT_EQ(late.out, P + head("d12") + oracle_faces(77, 12, 6) + "\n" + P);
  const LoopRun y2065 = run("d12 6 exit", [] { return std::int64_t{3000000000}; });
  EXPECT_EQ(y2065.out, P + head("d12") + oracle_faces(3000000000U, 12, 6) + "\n" + P);
}

TEST(PromptLoop, EndOfInputEndsTheLastLine) {
  const std::pair<const char*, std::string> cases[] = {
      {"", P + "\n"},
      {" \n", P + "\n"},
      {"foo", P + P + "\n"},
      {"d8", P + head("d8") + "\n" + P + "\n"},  // at the count prompt: an empty batch
  };
  for (const auto& [input, expected] : cases) {
    const LoopRun r = run(input);
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
  const std::uint32_t s = 1765000000;
  EXPECT_EQ(run("d6 d20 2").out,
            P + head("d6") + "\n" + P + head("d20") + oracle_faces(s, 20, 2) + "\n" + P + "\n");
  EXPECT_EQ(run("d6 abc exit").out, P + head("d6") + "\n" + P + P);
  // Out of range: no dice, and the digits are gone.
  for (const char* count : {"99999999999", "-99999999999", "2147483648", "-2147483649"}) {
    EXPECT_EQ(run(std::string("d6 ") + count + " exit").out, P + head("d6") + "\n" + P) << count;
  }
}

TEST(PromptLoop, KeepsOnlyAShortPrefixOfALongWord) {
  const LoopRun r = run("exit" + std::string(1 << 22, 'x'));
  EXPECT_EQ(r.out, P + P + "\n");  // not an exit word, then the end of input
  EXPECT_LE(r.state.choice.size(), 8U);
  EXPECT_EQ(run(std::string(1 << 20, '\0') + " d100000 exit").out, P + P + P);
}

// Takes `room` bytes, then fails every write, as a full disk does. Its writes are buffered, as a
// file's are, so a failure may show only when the stream is flushed.
struct FullAfter : std::streambuf {
  explicit FullAfter(std::size_t bytes) : room(bytes) { setp(buffer.begin(), buffer.end()); }
  bool drain() {
    const auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer.begin(), buffer.end());
    if (taken + size > room) return false;
    taken += size;
    return true;
  }
  int overflow(int c) override {
    if (!drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }
  int sync() override { return drain() ? 0 : -1; }
  std::array<char, 64> buffer{};
  std::size_t room;
  std::size_t taken = 0;
};

TEST(PromptLoop, AWriteErrorStopsItWithOneLineOnStandardError) {
  for (std::size_t room : {0UL, 50UL, 200000UL}) {
    FullAfter sink(room);
    std::ostream out(&sink);
    std::istringstream in("d6 3 d6 2000000000 exit");
    std::ostringstream err;
    RollerState state;
    EXPECT_EQ(run_prompt_loop(state, in, out, err, [] { return 0; }), 1) << room;
    EXPECT_EQ(err.str().rfind("dice: write error: ", 0), 0U) << err.str();
    EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
    // A huge batch stops at its first failed chunk.
    EXPECT_LT(state.roll_index, 1000000);
  }
  // The last byte of the run, at the end of input or after the exit word, fails too.
  const std::string faces = head("d6") + oracle_faces(0, 6, 3) + "\n";
  for (const auto& [input, output] :
       {std::pair{"d6 3", P + faces + P + "\n"}, std::pair{"d6 3 exit", P + faces + P}}) {
    FullAfter sink(output.size() - 1);
    std::ostream out(&sink);
    std::istringstream in(input);
    std::ostringstream err;
    RollerState state;
    EXPECT_EQ(run_prompt_loop(state, in, out, err, [] { return 0; }), 1) << input;
    EXPECT_EQ(err.str().rfind("dice: write error: ", 0), 0U) << input;
  }
  // The largest count is honoured: the batch starts, and stops at the failure.
  FullAfter sink(100000);
  std::ostream out(&sink);
  std::istringstream in("d4 2147483647");
  std::ostringstream err;
  RollerState state;
  EXPECT_EQ(run_prompt_loop(state, in, out, err, [] { return 0; }), 1);
  EXPECT_EQ(state.amount, 2147483647);
  EXPECT_GT(state.roll_index, 10000);
}

}  // namespace
