#include "platform/number_text.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

constexpr std::uint64_t sign_bit = 0x8000000000000000u;
constexpr std::uint64_t exponent_mask = 0x7FF0000000000000u;
constexpr std::uint64_t fraction_mask = 0x000FFFFFFFFFFFFFu;
constexpr std::uint64_t quiet_bit = 0x0008000000000000u;
constexpr std::uint64_t indefinite_bits = 0xFFF8000000000000u;

// Reads the exponent of a to_chars scientific text; p points at the 'e'.
int read_exponent(const char* p, const char* end) {
  ++p;
  bool minus = *p == '-';
  ++p;
  int e = 0;
  for (; p < end; ++p) e = e * 10 + (*p - '0');
  return minus ? -e : e;
}

void set_marker(digits17& d, const char* marker) {
  std::size_t n = std::strlen(marker);
  std::memcpy(d.digits, marker, n);
  std::memset(d.digits + n, '0', sizeof d.digits - n);
  d.exp10 = 0;
  d.special = true;
}

// Adds one to the 17 digits (they were followed by a digit >= 5).
void round_up17(digits17& d) {
  int i = 16;
  while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
  if (i < 0) {
    d.digits[0] = '1';
    ++d.exp10;
  } else {
    ++d.digits[i];
  }
}

// The rare case where 25 digits cannot tell whether the value lies below the
// half-way point after the 17th digit: the whole exact expansion (at most 767
// significant digits for a double) decides.
void reduce_exact(digits17& d, double a) {
  char text[800];
  std::to_chars_result r = std::to_chars(text, text + sizeof text, a, std::chars_format::scientific, 780);
  d.digits[0] = text[0];
  std::memcpy(d.digits + 1, text + 2, 16);
  d.exp10 = read_exponent(text + 782, r.ptr);
  if (text[18] >= '5') round_up17(d);
}

// Copies count (>= 1) characters of the reduced value to buf, characters
// after the 17th being '0', and rounds the last one half up on the next. A
// '9' turns into '0' and carries; any other character becomes the next one
// (this is also how a marker rounds). Returns true when the carry ran out of
// the first character: buf then holds "100..0" and the exponent goes up one.
bool take(const digits17& d, int count, char* buf) {
  int copied = count < 17 ? count : 17;
  std::memcpy(buf, d.digits, static_cast<std::size_t>(copied));
  if (count > 17) std::memset(buf + 17, '0', static_cast<std::size_t>(count - 17));
  if (count >= 17 || d.digits[count] < '5') return false;
  int i = count - 1;
  while (i >= 0 && buf[i] == '9') buf[i--] = '0';
  if (i < 0) {
    buf[0] = '1';
    return true;
  }
  ++buf[i];
  return false;
}

char* put_exponent(char* p, int e) {
  *p++ = 'e';
  *p++ = e < 0 ? '-' : '+';
  unsigned u = static_cast<unsigned>(e < 0 ? -e : e);
  if (u >= 1000) *p++ = static_cast<char>('0' + u / 1000 % 10);
  *p++ = static_cast<char>('0' + u / 100 % 10);
  *p++ = static_cast<char>('0' + u / 10 % 10);
  *p++ = static_cast<char>('0' + u % 10);
  return p;
}

char* pad(char* out, int width, std::size_t len) {
  if (width > 0 && static_cast<std::size_t>(width) > len) {
    std::size_t n = static_cast<std::size_t>(width) - len;
    std::memset(out, ' ', n);
    out += n;
  }
  return out;
}

int clamp_precision(int precision) { return precision < 0 ? 0 : precision; }

}  // namespace

digits17 reduce17(double v) {
  digits17 d{};
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  bool sign = (bits & sign_bit) != 0;

  if ((bits & exponent_mask) == exponent_mask) {
    std::uint64_t fraction = bits & fraction_mask;
    d.negative = sign;
    if (fraction == 0)
      set_marker(d, "1#INF");
    else if (bits == indefinite_bits)
      set_marker(d, "1#IND");
    else if (fraction & quiet_bit)
      set_marker(d, "1#QNAN");
    else
      set_marker(d, "1#SNAN");
    return d;
  }
  if ((bits & ~sign_bit) == 0) {
    std::memset(d.digits, '0', sizeof d.digits);
    return d;
  }
  d.negative = sign;
  double a = sign ? -v : v;

  // Let x be the exact value, p its 25-digit rounding as to_chars gives it,
  // u one unit in p's 25th digit, so |x - p| <= u/2, and t the 8 digits of p
  // after the 17th (t = 0..99999999, in units u).
  //  - t = 0: x >= p - u/2 lies above the half-way point below p's 17 digits
  //    (its 18th digit is 9 when x < p), so half up gives p's 17 digits. This
  //    also covers a carry to_chars made into a new leading digit.
  //  - 0 < t < 50000000: x lies strictly between p's 17 digits and the
  //    half-way point above them: keep them.
  //  - t > 50000000: x lies strictly between the half-way point and the next
  //    17-digit value: round up.
  //  - t = 50000000: x is within u/2 of the half-way point, on either side:
  //    only the exact expansion decides.
  char text[40];
  std::to_chars_result r = std::to_chars(text, text + sizeof text, a, std::chars_format::scientific, 24);
  if (std::memcmp(text + 18, "50000000", 8) == 0) {
    reduce_exact(d, a);
    return d;
  }
  d.digits[0] = text[0];
  std::memcpy(d.digits + 1, text + 2, 16);
  d.exp10 = read_exponent(text + 26, r.ptr);
  if (text[18] >= '5') round_up17(d);
  return d;
}

char* put_exp(char* out, double v, int width, int precision) {
  precision = clamp_precision(precision);
  digits17 d = reduce17(v);
  char buf[number_text_max];
  int count = precision + 1;
  int e = d.exp10;
  if (take(d, count, buf)) ++e;

  std::size_t len = (d.negative ? 1u : 0u) + 1u + (precision > 0 ? 1u + static_cast<std::size_t>(precision) : 0u) +
                    ((e >= 1000 || e <= -1000) ? 6u : 5u);
  char* p = pad(out, width, len);
  if (d.negative) *p++ = '-';
  *p++ = buf[0];
  if (precision > 0) {
    *p++ = '.';
    std::memcpy(p, buf + 1, static_cast<std::size_t>(precision));
    p += precision;
  }
  return put_exponent(p, e);
}

char* put_fixed(char* out, double v, int width, int precision) {
  precision = clamp_precision(precision);
  digits17 d = reduce17(v);
  char buf[number_text_max];
  int x = d.exp10;
  int count = x + 1 + precision;
  if (count > 0) {
    if (take(d, count, buf)) {
      // "99.96" -> "100.0": one more integer digit.
      buf[count++] = '0';
      ++x;
    }
  } else if (count == 0 && d.digits[0] >= '5') {
    // The first digit is the dropped one and rounds up to one unit in the
    // last decimal.
    buf[0] = '1';
    count = 1;
    ++x;
  } else {
    count = 0;  // everything dropped: all zeros
  }

  int int_digits = x >= 0 ? x + 1 : 1;
  std::size_t len = (d.negative ? 1u : 0u) + static_cast<std::size_t>(int_digits) +
                    (precision > 0 ? 1u + static_cast<std::size_t>(precision) : 0u);
  char* p = pad(out, width, len);
  if (d.negative) *p++ = '-';
  if (x >= 0) {
    std::memcpy(p, buf, static_cast<std::size_t>(int_digits));
    p += int_digits;
  } else {
    *p++ = '0';
  }
  if (precision > 0) {
    *p++ = '.';
    // Fraction digit i stands for 10^-i, which is buf[x + i].
    for (int i = 1; i <= precision; ++i) {
      int k = x + i;
      *p++ = (k >= 0 && k < count) ? buf[k] : '0';
    }
  }
  return p;
}

char* put_general(char* out, double v, int width, int precision) {
  precision = clamp_precision(precision);
  if (precision == 0) precision = 1;
  digits17 d = reduce17(v);
  char buf[number_text_max];
  int x = d.exp10;
  if (take(d, precision, buf)) ++x;

  char text[number_text_max];
  char* p = text;
  if (d.negative) *p++ = '-';
  if (x < -4 || x >= precision) {
    *p++ = buf[0];
    char* point = p;
    *p++ = '.';
    std::memcpy(p, buf + 1, static_cast<std::size_t>(precision - 1));
    p += precision - 1;
    while (p > point + 1 && p[-1] == '0') --p;
    if (p == point + 1) p = point;
    p = put_exponent(p, x);
  } else {
    if (x >= 0) {
      std::memcpy(p, buf, static_cast<std::size_t>(x + 1));
      p += x + 1;
    } else {
      *p++ = '0';
    }
    char* point = p;
    *p++ = '.';
    int decimals = precision - 1 - x;
    for (int i = 1; i <= decimals; ++i) {
      int k = x + i;
      *p++ = k >= 0 ? buf[k] : '0';
    }
    while (p > point + 1 && p[-1] == '0') --p;
    if (p == point + 1) p = point;
  }
  std::size_t len = static_cast<std::size_t>(p - text);
  char* o = pad(out, width, len);
  std::memcpy(o, text, len);
  return o + len;
}

char* put_int(char* out, long long v) {
  unsigned long long u = v < 0 ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
  char tmp[24];
  char* t = tmp + sizeof tmp;
  do {
    *--t = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  if (v < 0) *out++ = '-';
  std::size_t n = static_cast<std::size_t>(tmp + sizeof tmp - t);
  std::memcpy(out, t, n);
  return out + n;
}

}  // namespace platform
