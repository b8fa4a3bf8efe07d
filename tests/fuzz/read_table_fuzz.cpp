// The two-column reader on arbitrary bytes: the last index stays in range,
// every stored point is what a plain reading of the pairs gives, and
// nothing is written to the entries past the points read.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "reference.h"
#include "tables/tables.h"

namespace {

[[noreturn]] void fail(const char* what, long long at) {
  std::fprintf(stderr, "%s (entry %lld)\n", what, at);
  std::abort();
}

// Every entry starts as this marker, so an entry the reader did not write
// is seen as such; it is no number a file can give.
const double untouched = __builtin_nan("0x5a5a");
bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

func_table table;
bool marked = false;

struct point {
  double f, a;
  bool has_a;
};

// Pairs taken plainly, two numbers at a time, up to the capacity.
std::vector<point> reference_points(const unsigned char* s, std::size_t n) {
  std::vector<point> pts;
  std::size_t at = 0;
  auto number = [&](double& v) {
    while (at < n && ref::space(s[at])) ++at;
    std::size_t len = ref::token_length(s + at, n - at);
    if (len == 0) return false;
    v = ref::token_value(s + at, len);
    at += len;
    return true;
  };
  while (pts.size() < static_cast<std::size_t>(max_points)) {
    point p{0, 0, false};
    if (!number(p.f)) break;
    p.has_a = number(p.a);
    pts.push_back(p);
  }
  return pts;
}

}  // namespace

// The first byte 0xFF puts 65,500 blanks before the rest, so that the rest
// crosses the reader's 64 KiB buffer boundary.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!marked) {
    for (std::int32_t i = 0; i < max_points; ++i) table.freq[i] = table.amp[i] = untouched;
    marked = true;
  }
  std::vector<unsigned char> bytes;
  if (size > 0 && data[0] == 0xFF) bytes.assign(65500, ' ');
  bytes.insert(bytes.end(), data, data + size);

  std::FILE* f = fmemopen(bytes.data(), bytes.size(), "r");
  if (f == nullptr) fail("fmemopen", -1);
  table.last = 12345;
  read_table(f, table);
  std::fclose(f);

  std::vector<point> want = reference_points(bytes.data(), bytes.size());
  if (table.last < -1 || table.last > max_points - 1) fail("last out of range", table.last);
  if (table.last != static_cast<std::int32_t>(want.size()) - 1) fail("wrong number of points", table.last);
  for (std::size_t i = 0; i < want.size(); ++i) {
    if (!same_bits(table.freq[i], want[i].f)) fail("frequency differs", static_cast<long long>(i));
    if (!same_bits(table.amp[i], want[i].has_a ? want[i].a : untouched)) fail("amplitude differs", static_cast<long long>(i));
  }
  const std::size_t after = want.size();
  for (std::size_t i = after; i < after + 4 && i < static_cast<std::size_t>(max_points); ++i) {
    if (!same_bits(table.freq[i], untouched) || !same_bits(table.amp[i], untouched))
      fail("an entry past the points was written", static_cast<long long>(i));
  }
  for (std::size_t i = 0; i < after; ++i) table.freq[i] = table.amp[i] = untouched;
  return 0;
}
