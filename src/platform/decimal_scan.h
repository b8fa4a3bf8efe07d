// The decimal scanner behind "%lf": reads one number in plain decimal
// notation from a byte reader and converts it to the nearest double.
//
// Grammar: [+-] digits [. digits] [(e|E) [+-] digits], with at least one
// digit in the mantissa ("5", "5.", ".5", "-0.25"). No inf, nan or
// hexadecimal: "0x10" reads as 0 and leaves "x10" unread. An exponent letter
// that no digit follows is not part of the number ("1e+" reads 1 and leaves
// "e+" unread). A token of any length reads correctly in bounded memory.
// Overflow gives an infinity of the right sign, underflow the nearest value.
//
// Reader: int peek(std::size_t ahead = 0) gives the byte that many places
// ahead (0..255) or -1 past the end; void advance(std::size_t n = 1) consumes.
#pragma once

#include <cstddef>

namespace platform {

// White space as the C locale knows it: blank, \t, \n, \v, \f, \r.
constexpr bool is_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

template <class Reader>
void skip_space(Reader& r) {
  while (is_space(r.peek())) r.advance();
}

// Collects the significant digits of one number and turns them into a
// double; kept apart from the reading so that the reader stays generic.
class decimal_builder {
 public:
  void digit(int d, bool after_point);
  void exponent_digit(int d);
  void set_negative() { negative_ = true; }
  void set_exponent_negative() { exponent_negative_ = true; }
  double value() const;

 private:
  static constexpr std::size_t kept_max = 800;  // more than any double needs
  char digits_[kept_max];
  std::size_t kept_ = 0;  // digits kept in digits_
  bool dropped_nonzero_ = false;
  long long point_shift_ = 0;  // decimal exponent of the last kept digit, before the written exponent
  long long exponent_ = 0;     // saturated
  bool negative_ = false;
  bool exponent_negative_ = false;
};

// Reads one number at the reader's position (no white space is skipped).
// Returns false, consuming nothing, when no number starts there.
template <class Reader>
bool scan_decimal(Reader& r, double& out) {
  std::size_t k = 0;
  int c = r.peek(0);
  if (c == '+' || c == '-') c = r.peek(++k);
  bool digit_first = c >= '0' && c <= '9';
  if (!digit_first) {
    if (c != '.') return false;
    int d = r.peek(k + 1);
    if (!(d >= '0' && d <= '9')) return false;
  }
  decimal_builder b;
  if (r.peek(0) == '-') b.set_negative();
  r.advance(k);
  while ((c = r.peek()) >= '0' && c <= '9') {
    b.digit(c - '0', false);
    r.advance();
  }
  if (c == '.') {
    r.advance();
    while ((c = r.peek()) >= '0' && c <= '9') {
      b.digit(c - '0', true);
      r.advance();
    }
  }
  if (c == 'e' || c == 'E') {
    std::size_t e = 1;
    int s = r.peek(e);
    if (s == '+' || s == '-') s = r.peek(++e);
    if (s >= '0' && s <= '9') {
      if (r.peek(1) == '-') b.set_exponent_negative();
      r.advance(e);
      while ((c = r.peek()) >= '0' && c <= '9') {
        b.exponent_digit(c - '0');
        r.advance();
      }
    }
  }
  out = b.value();
  return true;
}

}  // namespace platform
