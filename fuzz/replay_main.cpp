// Runs the fuzzer's checks over every file in the folders named on the command line, so the
// corpus is replayed by the ordinary test suite, without libFuzzer: each file is a fact of the
// dialogue, named for it, and every broken one is named with what it broke.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

// Whether the loop keeps every promise over `input`; else says on `report` which it broke and how
// (prompt_loop_fuzzer.cpp).
bool dialogue_holds(std::string_view input, std::FILE* report);

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
      inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  int broken = 0;
  for (const auto& path : inputs) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(file), {});
    std::printf("%s\n", path.filename().string().c_str());
    if (!dialogue_holds(bytes, stdout)) ++broken;
  }
  std::printf("%d of %zu inputs broken\n", broken, inputs.size());
  return inputs.empty() || broken > 0 ? 1 : 0;
}
