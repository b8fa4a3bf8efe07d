#include "decimal_scan.h"

#include <charconv>
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
