// Logarithmic resampling of one table onto the uniform grid
// fa, fa + bandwidth, fa + 2 bandwidth, ... Between two input points the
// amplitude follows the power law through them (a straight line on log-log
// axes); a grid point that lands exactly on an input frequency after the
// first takes that point's amplitude unchanged.
//
// Every value is formed one double operation at a time in a fixed order, so
// that the grid's length and its last points come out the same on every
// build: which grid point lands on, just below or just above the last input
// frequency depends on the rounding of each single step.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/console.h"
#include "platform/ieee_math.h"
#include "tables/tables.h"

double bandwidth = 0.0;

namespace {

// Work arrays, static and of fixed size. A grid longer than a table is
// refused before any of them is indexed by grid point, so they never overflow.
constexpr std::int32_t work_points = 400000;
double grid_freq[work_points];
double grid_amp[work_points];
double seg_slope[work_points];

// first_reach[j - 1] is the largest of f[1..j], NaN ignored, or NaN while
// f[1..j] holds nothing but NaN. It never decreases once it is a number, so
// the first j with first_reach[j - 1] >= x is found by bisection, and it is
// also the first j with f[j] >= x: the first j at which a grid point x
// satisfies x < f[j] or x == f[j], whatever the order of the table.
double first_reach[max_points];

void build_first_reach(const double* f, std::int32_t last) {
  double top = std::nan("");
  for (std::int32_t j = 1; j <= last; ++j) {
    double v = f[j];
    if (!std::isnan(v) && !(top >= v)) top = v;  // NaN top: the first number wins
    first_reach[j - 1] = top;
  }
}

// The first j in 1..last with f[j] >= x, or 0 when there is none.
std::int32_t first_match(double x, std::int32_t last) {
  std::int32_t lo = 0;    // first_reach index; j = index + 1
  std::int32_t hi = last;  // one past the last index
  while (lo < hi) {
    std::int32_t mid = lo + (hi - lo) / 2;
    if (first_reach[mid] >= x) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return lo < last ? lo + 1 : 0;
}

// The table keeps its points when the grid would not fit in it.
void say_too_small(double points) {
  platform::text_line()
      .text("\n The step is too small for the frequency range of this table: the grid would need ")
      .fixed(points, 0, 0)
      .text(" points, more than the ")
      .integer(max_points)
      .text(" a table holds. The table is left unchanged. \n")
      .say();
}

}  // namespace

void intlog(double* f, double* a, std::int32_t& last) {
  platform::say("\n intlog \n");
  const std::int32_t L = last;
  if (L < 0) {
    // No first or last frequency to build a grid from.
    platform::say("\n The table is empty; there is nothing to resample. \n");
    return;
  }

  const double fa = f[0];
  const double fz = f[L];
  const double span = fz - fa;
  const double q = span / bandwidth;

  // nn is the integer part of q, truncated toward zero, plus 1; a quotient
  // that is no number at all (a step of 0) counts as 0. The range is checked
  // before converting, so a huge quotient never becomes an arbitrary index.
  std::int32_t nn = 1;
  if (std::isfinite(q)) {
    if (q >= 2147483647.0) {  // trunc(q) + 1 above the 32-bit range
      say_too_small(std::trunc(q) + 2.0);
      return;
    }
    if (q <= -2147483650.0) {  // trunc(q) + 1 below the 32-bit range
      platform::say(
          "\n The step gives no usable grid for the frequency range of this table. "
          "The table is left unchanged. \n");
      return;
    }
    nn = static_cast<std::int32_t>(static_cast<std::int64_t>(q) + 1);
  }

  platform::text_line()
      .text(" fz=")
      .fixed(fz, 0, 6)
      .text("  fa=")
      .fixed(fa, 0, 6)
      .text("   nt=")
      .integer(nn)
      .text("  \n")
      .say();

  // nn + 1 points must fit in the table; this also keeps every grid index
  // inside the work arrays.
  if (nn >= max_points) {
    say_too_small(static_cast<double>(nn) + 1.0);
    return;
  }

  // Only what this call reads is cleared: grid points 1 to nn, the ones a
  // grid frequency may leave untouched. Every slope it reads is computed below.
  if (nn >= 1) {
    std::memset(grid_freq + 1, 0, sizeof(double) * static_cast<std::size_t>(nn));
    std::memset(grid_amp + 1, 0, sizeof(double) * static_cast<std::size_t>(nn));
  }

  for (std::int32_t k = 0; k < L; ++k) {
    const double la1 = platform::ln(a[k + 1]);
    const double la0 = platform::ln(a[k]);
    const double lf1 = platform::ln(f[k + 1]);
    const double lf0 = platform::ln(f[k]);
    const double da = la1 - la0;
    const double df = lf1 - lf0;
    seg_slope[k] = da / df;
  }

  grid_amp[0] = a[0];
  grid_freq[0] = f[0];

  if (L > 0) {
    build_first_reach(f, L);
    const double f0 = f[0];
    // The logarithms of a segment's first point, taken once for all the grid
    // points that fall in it (the same values, computed fewer times).
    std::int32_t seg = -1;
    double lf = 0;
    double la = 0;
    for (std::int32_t i = 0; i <= nn; ++i) {
      // Each grid frequency afresh from its index: adding the step over and
      // over would drift.
      const double step = static_cast<double>(i) * bandwidth;
      const double x = step + fa;
      if (x < f0 || std::isnan(x)) continue;
      const std::int32_t j = first_match(x, L);
      if (j == 0) continue;
      if (x < f[j]) {
        if (seg != j - 1) {
          seg = j - 1;
          lf = platform::lg(f[seg]);
          la = platform::lg(a[seg]);
        }
        const double lx = platform::lg(x);
        const double d = lx - lf;
        const double s = seg_slope[j - 1] * d;
        const double e = s + la;
        grid_freq[i] = x;
        grid_amp[i] = platform::pow10(e);
      } else {  // x == f[j]: the input point's own amplitude, untouched
        grid_freq[i] = x;
        grid_amp[i] = a[j];
      }
    }
  }

  for (std::int32_t k = 0; k <= nn; ++k) {
    f[k] = grid_freq[k];
    a[k] = grid_amp[k];
  }
  last = nn;
  platform::text_line().text("\n nn=").integer(nn).text(" ").say();
}
