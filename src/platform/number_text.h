// Number text: the printf-style conversions the program writes, with the
// legacy rules its files have always had.
//
// A double is first reduced to its 17 leading significant decimal digits,
// rounded half up on the exact 18th; a conversion then keeps the digits it
// needs from those and rounds half up on the first dropped one. Exponents are
// written with three digits ("e+000"), zero (also negative zero) has no sign,
// and infinities and NaNs are written as the markers "1#INF", "1#IND",
// "1#QNAN" and "1#SNAN", cut, padded and rounded like digits.
//
// Every put_* function writes its text at out, with no terminating zero, and
// returns the end of what it wrote. Nothing is allocated.
#pragma once

#include <cstddef>

namespace platform {

// Room enough for any conversion below with width <= 40 and precision <= 20
// ("%.20f" of the largest double is 1 + 309 + 1 + 20 characters).
inline constexpr std::size_t number_text_max = 400;

// The 17-digit reduction. For a finite nonzero value, digits holds 17 ASCII
// digits d1..d17 (d1 nonzero) and the value is 0.d1d2...d17 x 10^(exp10 + 1),
// that is d1.d2...d17 x 10^exp10. Zero gives "00000000000000000", exp10 0.
// An infinity or NaN gives its marker, padded with '0' to 17 characters, exp10 0.
struct digits17 {
  char digits[17];
  int exp10;
  bool negative;  // sign written: false for +0 and -0, true for -1#IND
  bool special;   // an infinity or NaN marker
};
digits17 reduce17(double v);

// "%W.Pe"
char* put_exp(char* out, double v, int width, int precision);
// "%W.Pf"; "%lf" is put_fixed(out, v, 0, 6)
char* put_fixed(char* out, double v, int width, int precision);
// "%W.Pg"
char* put_general(char* out, double v, int width, int precision);
// "%ld"
char* put_int(char* out, long long v);

}  // namespace platform
