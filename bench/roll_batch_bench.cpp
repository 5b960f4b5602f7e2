// Faces per second of roll_batch for each die, into a sink that takes everything.
#include <benchmark/benchmark.h>

#include <sstream>
#include <streambuf>
#include <string>

#include "dice.h"
#include "generator.h"

namespace {

struct NullSink : std::streambuf {
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  int overflow(int c) override { return c; }
};

constexpr int faces_per_batch = 1000000;

void roll(benchmark::State& bench, const DieSpec& die) {
  NullSink sink;
  std::ostream out(&sink);
  RollerState state;
  state.choice = die.word;
  seed_generator(1);
  for (auto _ : bench) {
    std::istringstream in(std::to_string(faces_per_batch));
    roll_batch(state, die, in, out);
  }
  bench.SetItemsProcessed(bench.iterations() * faces_per_batch);
}

const bool registered = [] {
  for (const DieSpec& die : die_table) {
    // The row itself, not a copy: roll_batch knows a die by its place in die_table.
    benchmark::RegisterBenchmark(("roll_batch/" + std::string(die.word)).c_str(),
                                 [&die](benchmark::State& bench) { roll(bench, die); })
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
