// The simplified breakpoints: the first product point, every interior point
// where the log-log slope changes by more than 0.1, and the closing point.
#include <cmath>
#include <cstddef>
#include <string_view>

#include "platform/console.h"
#include "platform/ieee_math.h"
#include "platform/number_text.h"
#include "product/product.h"

namespace {

constexpr std::string_view amplitude_error = "\n Amplitude error. \n";

// Two numbers and five separators; room for markers and any exponent.
constexpr std::size_t line_room = 2 * platform::number_text_max + 8;

// One " %8.4e  %8.4e \n" line, formatted straight into the file's buffer,
// then the same bytes to the console.
void put_point(platform::text_writer& out, double f, double a) {
  char* const start = out.reserve(line_room);
  char* p = start;
  *p++ = ' ';
  p = platform::put_exp(p, f, 8, 4);
  *p++ = ' ';
  *p++ = ' ';
  p = platform::put_exp(p, a, 8, 4);
  *p++ = ' ';
  *p++ = '\n';
  const auto n = static_cast<std::size_t>(p - start);
  out.commit(n);
  platform::say(std::string_view(start, n));
}

// Not greater than 0: zero, negative or NaN.
bool bad_amplitude(double a) { return !(a > 0.0); }

// ln(ratio of amplitudes) / ln(ratio of frequencies), each ratio first.
double slope(double a_from, double a_to, double f_from, double f_to) {
  const double num = platform::ln(a_to / a_from);
  const double den = platform::ln(f_to / f_from);
  return num / den;
}

}  // namespace

void simplify_breakpoints(const product_table& prod, const double* exc_freq, std::int32_t lastb,
                          platform::text_writer& out) {
  const double* pf = prod.freq;
  const double* pa = prod.amp;

  put_point(out, pf[0], pa[0]);
  if (bad_amplitude(pa[0])) platform::say(amplitude_error);

  // The right-hand slope of point i is the left-hand slope of point i + 1,
  // formed from the same operands, so each segment's slope is taken once.
  if (lastb > 1) {
    double s2 = slope(pa[0], pa[1], exc_freq[0], exc_freq[1]);
    for (std::int32_t i = 1; i < lastb; ++i) {
      const double s1 = s2;
      s2 = slope(pa[i], pa[i + 1], exc_freq[i], exc_freq[i + 1]);
      // A NaN difference fails, and so does a difference of exactly 0.1.
      if (!(std::fabs(s1 - s2) > 0.1)) continue;
      if (pf[i] >= pf[i - 1] && pf[i] > 0.0) put_point(out, pf[i], pa[i]);
      if (bad_amplitude(pa[i])) platform::say(amplitude_error);
    }
  }

  if (lastb >= 2) {
    const std::int32_t c = lastb - 1;
    if (pf[c] >= pf[c - 1] && pf[c] > 0.0) put_point(out, pf[c], pa[c]);
  }
}
