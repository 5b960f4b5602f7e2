// Counts the faces that dice wrote on standard input, on the lines after "amount of dice ",
// and how many of them lie outside 1..100. Streams, so it holds any count in constant memory.
#include <cstdint>
#include <cstdio>
#include <string_view>

int main() {
  constexpr std::string_view marker = "amount of dice ";
  static char buf[1 << 20];
  std::uint64_t faces = 0;
  std::uint64_t out_of_range = 0;
  bool in_faces = false;
  std::size_t matched = 0;
  unsigned value = 0;
  int digits = 0;
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, stdin)) > 0;) {
    for (const char c : std::string_view(buf, n)) {
      if (!in_faces) {
        matched = c == marker[matched] ? matched + 1 : c == marker[0] ? 1 : 0;
        in_faces = matched == marker.size();
        if (in_faces) matched = 0;
      } else if (c >= '0' && c <= '9') {
        value = digits++ < 3 ? value * 10 + static_cast<unsigned>(c - '0') : 1000;
      } else if (c == ' ' && digits > 0) {
        ++faces;
        out_of_range += value < 1 || value > 100;
        value = 0;
        digits = 0;
      } else {
        in_faces = false;
        out_of_range += c != '\n' || digits > 0;
      }
    }
  }
  std::printf("%llu %llu\n", static_cast<unsigned long long>(faces),
              static_cast<unsigned long long>(out_of_range));
  return 0;
}
