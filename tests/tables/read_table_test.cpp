// The two-column reader: pairs in file order, and where the reading stops.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tables/tables.h"

namespace {

func_table table;

struct point {
  double f, a;
};

std::vector<point> read(const std::string& text) {
  // A named file in the working folder: std::tmpfile may pick a folder a
  // normal user cannot write to on some systems.
  const char* path = "read_table_test.tmp";
  std::FILE* f = std::fopen(path, "wb+");
  EXPECT_NE(f, nullptr);
  if (f == nullptr) return {};
  std::fwrite(text.data(), 1, text.size(), f);
  std::rewind(f);
  table = func_table{};
  read_table(f, table);
  std::fclose(f);
  std::remove(path);
  std::vector<point> pts;
  for (std::int32_t i = 0; i <= table.last; ++i) pts.push_back({table.freq[i], table.amp[i]});
  return pts;
}

struct read_case {
  const char* name;
  std::string text;
  std::vector<point> points;
};

TEST(ReadTable, Cases) {
  const read_case cases[] = {
      {"empty file", "", {}},
      {"only white space", " \n\t\r\n\v\f ", {}},
      {"a header stops the reading", "Frequency Amplitude\n10 1\n20 2\n", {}},
      {"a frequency without amplitude", "10 1\n20 2\n30\n", {{10, 1}, {20, 2}, {30, 0}}},
      {"pairs across lines", "10 1 20\n2 30 3\n", {{10, 1}, {20, 2}, {30, 3}}},
      {"commas", "10,1\n20,2\n", {{10, 0}}},
      {"a word stops the reading", "10 1\n20 2\nend\n30 3\n", {{10, 1}, {20, 2}}},
      {"exponents and bare points", "1.5E+03 2e-1\n.5 -3.\n", {{1500, 0.2}, {0.5, -3}}},
      {"CR LF, tabs, blank lines", "10\t1\r\n\r\n\r\n20\t2\r\n", {{10, 1}, {20, 2}}},
      {"descending, zero and negative values kept", "30 -1\n0 0\n-5 2\n", {{30, -1}, {0, 0}, {-5, 2}}},
      {"no final line end", "10 1\n20 2", {{10, 1}, {20, 2}}},
      {"NUL bytes are not numbers", std::string("10 1\n\0\0\0 20 2", 14), {{10, 1}}},
      {"hexadecimal reads as 0, then stops", "0x10 5\n", {{0, 0}}},
      {"inf and nan are not numbers", "10 1\ninf 2\n", {{10, 1}}},
  };
  for (const read_case& c : cases) {
    std::vector<point> got = read(c.text);
    ASSERT_EQ(got.size(), c.points.size()) << c.name;
    EXPECT_EQ(table.last, static_cast<std::int32_t>(c.points.size()) - 1) << c.name;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].f, c.points[i].f) << c.name << " point " << i;
      EXPECT_EQ(got[i].a, c.points[i].a) << c.name << " point " << i;
    }
  }
}

// Reading stops at max_points: the rest of the file is never scanned, so the
// number after the last pair stays unread.
TEST(ReadTable, StopsAtCapacity) {
  std::string text;
  text.reserve(4'000'000);
  for (int i = 0; i < max_points + 1; ++i) text += std::to_string(i) + " " + std::to_string(i % 7) + "\n";
  std::vector<point> got = read(text);
  ASSERT_EQ(table.last, max_points - 1);
  EXPECT_EQ(got.back().f, max_points - 1);
  EXPECT_EQ(got.back().a, (max_points - 1) % 7);
}

// Numbers that straddle the reader's buffer boundaries read whole.
TEST(ReadTable, NumbersAcrossBufferBoundaries) {
  std::string text;
  std::vector<point> want;
  for (int i = 0; text.size() < 300000; ++i) {
    double f = 1 + i * 0.123456789012345;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g %d\n", f, i);
    text += buf;
    want.push_back({f, static_cast<double>(i)});
  }
  std::vector<point> got = read(text);
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i].f, want[i].f) << i;
}

}  // namespace
