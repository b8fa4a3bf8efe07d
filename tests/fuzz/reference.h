// Plain, slow references that the fuzz targets hold the program's fast code
// against: the number grammar of the input files and answers, and the
// number text formed from the exact decimal expansion of a double.
//
// They are written from the rules the program's text formats follow, not
// from its code: the token is found by a straight reading of the grammar and
// converted by the standard library, and the text is formed from a
// big-integer expansion with every digit in place.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

namespace ref {

inline bool space(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
inline bool digit(int c) { return c >= '0' && c <= '9'; }

// Length of the number that starts at s[0] (0 when none does):
// [+-] (digits [. digits*] | . digits) [(e|E) [+-] digits]
inline std::size_t token_length(const unsigned char* s, std::size_t n) {
  std::size_t i = 0;
  if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t mant = 0;
  while (i < n && digit(s[i])) ++i, ++mant;
  if (i < n && s[i] == '.') {
    std::size_t j = i + 1;
    std::size_t frac = 0;
    while (j < n && digit(s[j])) ++j, ++frac;
    if (mant + frac == 0) return 0;
    i = j;
    mant += frac;
  }
  if (mant == 0) return 0;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < n && digit(s[j])) {
      while (j < n && digit(s[j])) ++j;
      i = j;
    }
  }
  return i;
}

// The nearest double to a token that token_length accepted; beyond the
// range of a double, an infinity or a zero of the token's sign.
inline double token_value(const unsigned char* s, std::size_t n) {
  const char* b = reinterpret_cast<const char*>(s);
  const char* e = b + n;
  bool negative = n > 0 && b[0] == '-';
  if (n > 0 && (b[0] == '+' || b[0] == '-')) ++b;
  double v = 0;
  std::from_chars_result r = std::from_chars(b, e, v);
  if (r.ptr != e) std::abort();  // the grammar and the library disagree on the token
  if (r.ec == std::errc::result_out_of_range) {
    // Too large or too small: strtod tells which, on the same text.
    std::string text(b, e);
    double w = std::strtod(text.c_str(), nullptr);
    v = w > 1 ? __builtin_inf() : 0.0;
  }
  return negative ? -v : v;
}

// ---------------------------------------------------------------------------
// Number text.

__extension__ typedef unsigned __int128 wide;

// Non-negative big integer in base 10^9, least significant limb first.
struct big {
  std::vector<std::uint32_t> limb;
  void mul(std::uint64_t k) {  // k < 2^64
    wide carry = 0;
    for (std::uint32_t& l : limb) {
      wide t = static_cast<wide>(l) * k + carry;
      l = static_cast<std::uint32_t>(t % 1000000000u);
      carry = t / 1000000000u;
    }
    while (carry != 0) {
      limb.push_back(static_cast<std::uint32_t>(carry % 1000000000u));
      carry /= 1000000000u;
    }
  }
  // The number of decimal digits, and the leading ones (at least 18 of
  // them when the number has that many).
  std::size_t size() const { return std::to_string(limb.back()).size() + 9 * (limb.size() - 1); }
  std::string leading() const {
    std::string s = std::to_string(limb.back());
    for (std::size_t i = limb.size() - 1; i-- > 0 && s.size() < 18;) {
      std::string part = std::to_string(limb[i]);
      s += std::string(9 - part.size(), '0') + part;
    }
    return s;
  }
};

// 2^k and 5^k, exact, for every k a double needs.
inline const big& power(int base, int k) {
  static const std::vector<big> table2 = [] {
    std::vector<big> t(972);
    t[0].limb = {1};
    for (std::size_t i = 1; i < t.size(); ++i) (t[i] = t[i - 1]).mul(2);
    return t;
  }();
  static const std::vector<big> table5 = [] {
    std::vector<big> t(1075);
    t[0].limb = {1};
    for (std::size_t i = 1; i < t.size(); ++i) (t[i] = t[i - 1]).mul(5);
    return t;
  }();
  return (base == 2 ? table2 : table5)[static_cast<std::size_t>(k)];
}

// A value as the text formats see it: seventeen characters (digits, or a
// marker padded with '0'), with the value d1.d2...d17 x 10^x.
struct reduced {
  std::string r;  // 17 characters
  int x = 0;
  bool negative = false;
};

// Adds one unit in the last character of s, with carry; a '9' becomes '0'
// and carries, any other character becomes the next one. True when the
// carry ran out of the front (s is then "000..." and a '1' must go first).
inline bool bump(std::string& s) {
  for (std::size_t i = s.size(); i-- > 0;) {
    if (s[i] == '9') {
      s[i] = '0';
      continue;
    }
    ++s[i];
    return false;
  }
  return true;
}

// The leading exact decimal digits of a finite nonzero |v| (at least 18
// when it has that many; the rest do not matter), and its exponent.
inline void exact_digits(std::uint64_t bits, std::string& digits, int& x) {
  std::uint64_t frac = bits & 0x000FFFFFFFFFFFFFu;
  int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t m = biased == 0 ? frac : frac | (1ull << 52);
  int e2 = (biased == 0 ? 1 : biased) - 1075;  // |v| = m * 2^e2
  // m * 2^e2 as an integer, or m / 2^k = m * 5^k / 10^k
  big b = power(e2 >= 0 ? 2 : 5, e2 >= 0 ? e2 : -e2);
  b.mul(m);
  const int shift = e2 >= 0 ? 0 : -e2;  // |v| = b * 10^-shift
  digits = b.leading();
  x = static_cast<int>(b.size()) - 1 - shift;
}

inline reduced reduce(std::uint64_t bits) {
  reduced d;
  d.negative = (bits >> 63) != 0;
  if (((bits >> 52) & 0x7FF) == 0x7FF) {
    std::uint64_t frac = bits & 0x000FFFFFFFFFFFFFu;
    const char* marker = frac == 0                          ? "1#INF"
                         : bits == 0xFFF8000000000000u      ? "1#IND"
                         : (frac & 0x0008000000000000u) != 0 ? "1#QNAN"
                                                             : "1#SNAN";
    d.r = marker;
    d.r.resize(17, '0');
    return d;
  }
  if ((bits << 1) == 0) {
    d.r = std::string(17, '0');
    d.negative = false;
    return d;
  }
  std::string digits;
  exact_digits(bits, digits, d.x);
  d.r = digits.substr(0, 17);
  d.r.resize(17, '0');
  if (digits.size() > 17 && digits[17] >= '5' && bump(d.r)) {
    d.r = "1" + std::string(16, '0');
    ++d.x;
  }
  return d;
}

// The first n (>= 1) characters, characters past the 17th being '0', the
// last rounded half up on the next; x goes up on a carry out of the front.
inline std::string keep(const reduced& d, int n, int& x) {
  std::string s = d.r;
  if (n < 17) {
    char next = s[static_cast<std::size_t>(n)];
    s.resize(static_cast<std::size_t>(n));
    if (next >= '5' && bump(s)) {
      s = "1" + std::string(static_cast<std::size_t>(n - 1), '0');
      ++x;
    }
  } else {
    s.resize(static_cast<std::size_t>(n), '0');
  }
  return s;
}

inline std::string exponent_text(int x) {
  std::string e = std::to_string(x < 0 ? -x : x);
  if (e.size() < 3) e = std::string(3 - e.size(), '0') + e;
  return std::string(x < 0 ? "e-" : "e+") + e;
}

inline std::string padded(std::string s, int width) {
  if (static_cast<int>(s.size()) < width) s = std::string(static_cast<std::size_t>(width) - s.size(), ' ') + s;
  return s;
}

// "%W.Pe"
inline std::string exp_text(std::uint64_t bits, int width, int p) {
  reduced d = reduce(bits);
  int x = d.x;
  std::string k = keep(d, p + 1, x);
  std::string s = d.negative ? "-" : "";
  s += k[0];
  if (p > 0) s += "." + k.substr(1);
  return padded(s + exponent_text(x), width);
}

// "%W.Pf": every position from the leading digit (or 10^0) down to 10^-p,
// rounded half up on the position after 10^-p.
inline std::string fixed_text(std::uint64_t bits, int width, int p) {
  reduced d = reduce(bits);
  // at(q): the character at decimal position q (10^q), '0' outside the 17
  auto at = [&](int q) -> char {
    int j = d.x - q;
    return j >= 0 && j < 17 ? d.r[static_cast<std::size_t>(j)] : '0';
  };
  int top = d.x > 0 ? d.x : 0;
  std::string s;  // positions top .. -p
  for (int q = top; q >= -p; --q) s += at(q);
  if (at(-p - 1) >= '5' && bump(s)) s = "1" + s;
  std::size_t int_len = s.size() - static_cast<std::size_t>(p);
  std::string out = d.negative ? "-" : "";
  out += s.substr(0, int_len);
  if (p > 0) out += "." + s.substr(int_len);
  return padded(out, width);
}

// "%W.Pg"
inline std::string general_text(std::uint64_t bits, int width, int p) {
  if (p == 0) p = 1;
  reduced d = reduce(bits);
  int x = d.x;
  std::string k = keep(d, p, x);
  std::string s = d.negative ? "-" : "";
  std::string body;
  if (x < -4 || x >= p) {
    body = k.substr(0, 1) + "." + k.substr(1);
  } else {
    // plain form with p - 1 - x decimals; the p kept characters stand at
    // positions x .. x - p + 1
    auto at = [&](int q) -> char {
      int j = x - q;
      return j >= 0 && j < p ? k[static_cast<std::size_t>(j)] : '0';
    };
    for (int q = x > 0 ? x : 0; q >= 0; --q) body += at(q);
    body += ".";
    for (int q = -1; q >= -(p - 1 - x); --q) body += at(q);
  }
  while (body.back() == '0' && body.find('.') != std::string::npos) body.pop_back();
  if (body.back() == '.') body.pop_back();
  s += body;
  if (x < -4 || x >= p) s += exponent_text(x);
  return padded(s, width);
}

}  // namespace ref
