// The decimal scanner: what it accepts, what it leaves unread, and that the
// value is the nearest double however long the number is written.
#include "platform/decimal_scan.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace {

struct string_reader {
  std::string s;
  std::size_t pos = 0;
  int peek(std::size_t ahead = 0) const {
    return pos + ahead < s.size() ? static_cast<unsigned char>(s[pos + ahead]) : -1;
  }
  void advance(std::size_t n = 1) { pos += n; }
};

struct scan_case {
  const char* text;
  bool number;
  double value;
  const char* rest;  // what stays unread
};

TEST(DecimalScan, Grammar) {
  const double inf = std::numeric_limits<double>::infinity();
  const scan_case cases[] = {
      {"5", true, 5, ""},
      {"5.", true, 5, ""},
      {".5", true, 0.5, ""},
      {"-0.25", true, -0.25, ""},
      {"+7 8", true, 7, " 8"},
      {"1.5E+03", true, 1500, ""},
      {"2e-1", true, 0.2, ""},
      {"-3.", true, -3, ""},
      {"0x10", true, 0, "x10"},
      {"10,1", true, 10, ",1"},
      {"1e", true, 1, "e"},
      {"1e+", true, 1, "e+"},
      {"1e+x", true, 1, "e+x"},
      {"1E5x", true, 1e5, "x"},
      {"007", true, 7, ""},
      {"0.000", true, 0, ""},
      {"1.2.3", true, 1.2, ".3"},
      {"1e400", true, inf, ""},
      {"-1e400", true, -inf, ""},
      {"1e-400", true, 0, ""},
      {"2.4703282292062328e-324", true, 4.9406564584124654e-324, ""},
      {"2.4703282292062327e-324", true, 0, ""},
      {"1.7976931348623158e308", true, 1.7976931348623157e308, ""},
      {"1e99999999999999999999", true, inf, ""},
      {"0e99999999999999999999", true, 0, ""},
      {"inf", false, 0, "inf"},
      {"nan", false, 0, "nan"},
      {"-inf", false, 0, "-inf"},
      {"-", false, 0, "-"},
      {"+.", false, 0, "+."},
      {".", false, 0, "."},
      {".e5", false, 0, ".e5"},
      {"e5", false, 0, "e5"},
      {"", false, 0, ""},
      {" 5", false, 0, " 5"},
      {"Frequency", false, 0, "Frequency"},
  };
  for (const scan_case& c : cases) {
    string_reader r{c.text};
    double v = -12345;
    bool got = platform::scan_decimal(r, v);
    EXPECT_EQ(got, c.number) << c.text;
    if (c.number) {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(v), std::bit_cast<std::uint64_t>(c.value)) << c.text << " gave " << v;
    } else {
      EXPECT_EQ(v, -12345) << c.text;
    }
    EXPECT_EQ(r.s.substr(r.pos), c.rest) << c.text;
  }
}

TEST(DecimalScan, NegativeZeroKeepsItsSign) {
  string_reader r{"-0.0"};
  double v = 1;
  ASSERT_TRUE(platform::scan_decimal(r, v));
  EXPECT_TRUE(v == 0 && std::signbit(v));
}

// Long numbers: a million digits, and digits that matter only as "something
// nonzero follows" far past what a double can hold.
TEST(DecimalScan, TokensOfAnyLength) {
  struct long_case {
    std::string text;
    double value;
  };
  const std::string zeros(1'000'000, '0');
  // The halfway point between 1 and the next double, then a nonzero digit far away.
  const std::string half = "1.00000000000000011102230246251565404236316680908203125";
  const long_case cases[] = {
      {"1" + zeros, std::numeric_limits<double>::infinity()},
      {"0." + zeros + "1", 0},
      {"0." + zeros + "1e1000000", 0.1},
      {"1" + zeros + "e-1000000", 1},
      {half, 1},  // a tie rounds to even
      {half + zeros + "1", std::nextafter(1.0, 2.0)},
      {half + zeros, 1},
      {std::string(700'000, '9') + "e-700000", 1},
  };
  for (const long_case& c : cases) {
    string_reader r{c.text + " rest"};
    double v = 0;
    ASSERT_TRUE(platform::scan_decimal(r, v)) << c.text.size();
    EXPECT_EQ(v, c.value) << "length " << c.text.size();
    EXPECT_EQ(r.s.substr(r.pos), " rest");
  }
}

// Random tokens in the accepted grammar read as std::from_chars reads them.
TEST(DecimalScan, AgreesWithFromCharsOnRandomTokens) {
  std::mt19937_64 g(42);
  auto digits = [&](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>('0' + g() % 10);
    return s;
  };
  for (int i = 0; i < 200000; ++i) {
    std::string t;
    if (g() % 4 == 0) t.push_back(g() % 2 ? '-' : '+');
    std::string mant = digits(static_cast<int>(g() % 25));
    std::string frac;
    if (g() % 2) {
      frac.push_back('.');
      frac.append(digits(static_cast<int>(g() % 25)));
    }
    if (mant.empty() && frac.size() < 2) mant = "1";
    t.append(mant).append(frac);
    if (g() % 2) {
      t.push_back(g() % 2 ? 'e' : 'E');
      if (g() % 2) t.push_back('-');
      t.append(std::to_string(g() % 2 ? g() % 330 : g() % 30));  // small powers take the short path
    }
    string_reader r{t};
    double v = 0;
    ASSERT_TRUE(platform::scan_decimal(r, v)) << t;
    ASSERT_EQ(r.pos, t.size()) << t;
    const char* first = t.data() + (t[0] == '+' ? 1 : 0);
    double want = 0;
    auto res = std::from_chars(first, t.data() + t.size(), want);
    if (res.ec == std::errc::result_out_of_range) continue;  // checked in the grammar table
    ASSERT_EQ(std::bit_cast<std::uint64_t>(v), std::bit_cast<std::uint64_t>(want)) << t;
  }
}

// Every double written with 17 significant digits reads back as itself.
TEST(DecimalScan, RoundTripsRandomBitPatterns) {
  std::mt19937_64 g(1);
  for (int i = 0; i < 200000; ++i) {
    double d = std::bit_cast<double>(g());
    if (!std::isfinite(d)) continue;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, 16);
    string_reader r{std::string(buf, res.ptr)};
    double v = 0;
    ASSERT_TRUE(platform::scan_decimal(r, v));
    ASSERT_EQ(std::bit_cast<std::uint64_t>(v), std::bit_cast<std::uint64_t>(d)) << r.s;
  }
}

}  // namespace
