#include "decimal_scan.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

namespace platform {

// value = D1.D2...Dk x 10^point_shift_ x 10^(+-exponent_); leading zeros are
// never kept, and digits past kept_max only matter as "something nonzero
// follows", which one sticky digit records exactly for the rounding.
void decimal_builder::digit(int d, bool after_point) {
  if (kept_ == 0) {
    if (d == 0) {
      if (after_point) --point_shift_;
      return;
    }
    if (after_point) --point_shift_;
    digits_[kept_++] = static_cast<char>('0' + d);
    return;
  }
  if (!after_point) ++point_shift_;
  if (kept_ < kept_max) {
    digits_[kept_++] = static_cast<char>('0' + d);
  } else if (d != 0) {
    dropped_nonzero_ = true;
  }
}

void decimal_builder::exponent_digit(int d) {
  constexpr long long cap = 1'000'000'000'000LL;  // far past any double
  if (exponent_ < cap) exponent_ = exponent_ * 10 + d;
}

double decimal_builder::value() const {
  const double sign = negative_ ? -1.0 : 1.0;
  if (kept_ == 0) return sign * 0.0;

  long long e = point_shift_ + (exponent_negative_ ? -exponent_ : exponent_);
  if (e > 100000) e = 100000;
  if (e < -100000) e = -100000;

  // Short numbers, as instruments and spreadsheets write them: a mantissa of
  // at most 2^53 and a power of ten up to 10^22 are both exact doubles, so one
  // multiplication or division rounds once, to the nearest double.
  if (kept_ <= 19) {
    std::uint64_t m = 0;
    for (std::size_t i = 0; i < kept_; ++i) m = m * 10 + static_cast<std::uint64_t>(digits_[i] - '0');
    const long long e10 = e - static_cast<long long>(kept_ - 1);
    static constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (m <= (std::uint64_t{1} << 53) && e10 >= -22 && e10 <= 22) {
      const double dm = static_cast<double>(m);
      const double v = e10 >= 0 ? dm * powers[e10] : dm / powers[-e10];
      return negative_ ? -v : v;
    }
  }

  // "D1.D2...Dk[1]e<e>"
  char text[kept_max + 32];
  std::size_t n = 0;
  text[n++] = digits_[0];
  text[n++] = '.';
  for (std::size_t i = 1; i < kept_; ++i) text[n++] = digits_[i];
  if (dropped_nonzero_) text[n++] = '1';
  text[n++] = 'e';
  auto r = std::to_chars(text + n, text + sizeof text, e);
  double v = 0;
  auto [ptr, ec] = std::from_chars(text, r.ptr, v);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) {
    v = e > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative_ ? -v : v;
}

}  // namespace platform
