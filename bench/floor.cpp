// The floor for the whole-run benchmark: only what any program doing this
// job must do. It reads the two files named on its command line with
// std::from_chars and writes as many "%14.5e %14.4e" lines as the excitation
// has points with std::to_chars, nothing else.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// The whole file in one read.
std::vector<char> slurp(const char* name) {
  std::vector<char> data;
  if (std::FILE* f = std::fopen(name, "rb")) {
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    data.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    data.resize(std::fread(data.data(), 1, data.size(), f));
    std::fclose(f);
  }
  return data;
}

std::vector<double> numbers(const std::vector<char>& text) {
  std::vector<double> v;
  v.reserve(text.size() / 8);
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    while (p < end && (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t')) ++p;
    double d;
    auto r = std::from_chars(p, end, d);
    if (r.ec != std::errc()) break;
    v.push_back(d);
    p = r.ptr;
  }
  return v;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: vantor_floor RESPONSE EXCITATION OUTPUT\n");
    return 2;
  }
  std::vector<double> a = numbers(slurp(argv[1]));
  std::vector<double> b = numbers(slurp(argv[2]));
  std::FILE* out = std::fopen(argv[3], "w");
  if (!out) return 1;
  static char buf[1 << 16];
  std::size_t used = 0;
  for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
    if (used > sizeof buf - 128) {
      std::fwrite(buf, 1, used, out);
      used = 0;
    }
    char* p = buf + used;
    *p++ = ' ';
    p = std::to_chars(p, buf + sizeof buf, b[i], std::chars_format::scientific, 5).ptr;
    *p++ = ' ';
    p = std::to_chars(p, buf + sizeof buf, b[i + 1] * (a.empty() ? 1 : a[1]), std::chars_format::scientific, 4).ptr;
    *p++ = ' ';
    *p++ = '\n';
    used = static_cast<std::size_t>(p - buf);
  }
  std::fwrite(buf, 1, used, out);
  return std::fclose(out) == 0 ? 0 : 1;
}
