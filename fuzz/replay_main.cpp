// Runs the fuzzer's checks over every file in the folders named on the command line, so the
// corpus is replayed by the ordinary test suite, without libFuzzer: each file is a fact of the
// dialogue, named for it, and every broken one is named with what it broke.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>

// Whether the loop keeps every promise over `input`; else says on `report` which it broke and how
// (prompt_loop_fuzzer.cpp).
bool dialogue_holds(std::string_view input, std::FILE* report);

int main(int argc, char** argv) {
  std::set<std::filesystem::path> inputs;  // in name order
  for (int i = 1; i < argc; ++i)
    inputs.insert(std::filesystem::directory_iterator(argv[i]), {});
  int broken = 0;
  for (const auto& path : inputs) {
    std::ifstream file(path, std::ios::binary);
    std::printf("%s\n", path.filename().string().c_str());
    if (!dialogue_holds(std::string(std::istreambuf_iterator<char>(file), {}), stdout)) ++broken;
  }
  std::printf("%d of %zu inputs broken\n", broken, inputs.size());
  return inputs.empty() || broken > 0 ? 1 : 0;
}
