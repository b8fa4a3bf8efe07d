// intlog: the grid's size and trace lines, the values on and between the
// input points, the last points that rounding decides, the refusals of grids
// that do not fit, and a plain reference that searches from j = 1 for every
// grid point, checked bit for bit against the fast search on random tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/answers.h"
#include "platform/console.h"
#include "platform/ieee_math.h"
#include "tables/tables.h"

namespace {

using bits = std::uint64_t;
constexpr bits indefinite_bits = 0xFFF8000000000000u;

bits bits_of(double v) { return std::bit_cast<bits>(v); }

// A table as the run holds one: static, max_points entries each.
func_table table;

// Fills the table with the points and a recognisable pattern after them, so
// that any write past the points shows.
constexpr double filler = -7777.25;
void load(const std::vector<double>& f, const std::vector<double>& a) {
  std::fill(std::begin(table.freq), std::end(table.freq), filler);
  std::fill(std::begin(table.amp), std::end(table.amp), filler);
  std::copy(f.begin(), f.end(), table.freq);
  std::copy(a.begin(), a.end(), table.amp);
  table.last = static_cast<std::int32_t>(f.size()) - 1;
}

// Runs intlog on the table with the given step and returns what it printed.
std::string run_intlog(double step) {
  bandwidth = step;
  testing::internal::CaptureStdout();
  intlog(table.freq, table.amp, table.last);
  return testing::internal::GetCapturedStdout();
}

std::string trace(const char* fz, const char* fa, const char* nt, const char* nn) {
  return std::string("\n intlog \n fz=") + fz + "  fa=" + fa + "   nt=" + nt + "  \n\n nn=" + nn + " ";
}

// ---------------------------------------------------------------------------
// The behaviours the resampling is known by, one row each.

struct point {
  std::int32_t index;
  double freq;  // compared bit for bit
  double amp;
  double tol;   // relative tolerance of amp; negative: bit for bit
};

struct grid_case {
  const char* name;
  std::vector<double> f, a;
  double step;
  std::string trace;
  std::int32_t last;
  std::vector<point> points;
  int zeros_at_end;  // (0, 0) entries that end the table; checked only for last >= 0
  // Resampled first with the same step, as the response table is before the
  // excitation table: the row's result must not change.
  std::vector<double> prior_f = {}, prior_a = {};
};

std::vector<point> power_law_points(std::int32_t first, std::int32_t end, double fa, double step) {
  // Above 100 Hz the table (10, 1), (100, 10), (1000, 1) is 1000 / f.
  std::vector<point> p;
  for (std::int32_t i = first; i < end; ++i) {
    double x = fa + step * i;
    p.push_back({i, x, 1000.0 / x, 1e-12});
  }
  return p;
}

std::vector<point> concat(std::vector<point> a, const std::vector<point>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<double> f1{10, 100, 1000};
const std::vector<double> a1{1, 10, 1};

std::vector<grid_case> grid_cases() {
  return {
      {"step_100_ends_on_one_zero_entry", f1, a1, 100, trace("1000.000000", "10.000000", "10", "10"), 10,
       concat(concat({{0, 10, 1, 1e-15}}, power_law_points(1, 10, 10, 100)), {{10, 0, 0, -1}}), 1},
      {"step_90_lands_on_the_input_points", f1, a1, 90, trace("1000.000000", "10.000000", "12", "12"), 12,
       concat(concat({{0, 10, 1, 1e-15}, {1, 100, 10, -1}}, power_law_points(2, 11, 10, 90)),
              {{11, 1000, 1, -1}, {12, 0, 0, -1}}),
       1},
      {"one_point_is_copied_then_zero", {5}, {3}, 2, trace("5.000000", "5.000000", "1", "1"), 1,
       {{0, 5, 3, -1}, {1, 0, 0, -1}}, 1},
      {"one_point_with_step_0", {5}, {3}, 0, trace("5.000000", "5.000000", "1", "1"), 1,
       {{0, 5, 3, -1}, {1, 0, 0, -1}}, 1},
      {"step_0_gives_two_points_at_fa", f1, a1, 0, trace("1000.000000", "10.000000", "1", "1"), 1,
       {{0, 10, 1, 1e-15}, {1, 10, 1, 1e-15}}, 0},
      {"step_minus_1000_keeps_fa_and_a_zero_entry", f1, a1, -1000, trace("1000.000000", "10.000000", "1", "1"), 1,
       {{0, 10, 1, 1e-15}, {1, 0, 0, -1}}, 1},
      {"step_minus_500_keeps_fa_alone", f1, a1, -500, trace("1000.000000", "10.000000", "0", "0"), 0,
       {{0, 10, 1, 1e-15}, {1, 100, 10, -1}, {2, 1000, 1, -1}}, 0},
      {"step_minus_100_leaves_the_arrays_and_a_negative_last", f1, a1, -100,
       trace("1000.000000", "10.000000", "-8", "-8"), -8,
       {{0, 10, 1, -1}, {1, 100, 10, -1}, {2, 1000, 1, -1}, {3, filler, filler, -1}}, 0},
      {"last_grid_point_exactly_on_fz", {57, 2069.7}, {1, 2}, 0.05,
       trace("2069.700000", "57.000000", "40254", "40254"), 40254, {{40254, 2069.7, 2, -1}}, 0},
      {"last_grid_point_just_below_fz", {35.1, 99.2}, {1, 2}, 0.01, trace("99.200000", "35.100000", "6410", "6410"),
       6410, {{6409, 99.19, 2, 1e-3}, {6410, 99.19999999999999, 2, 1e-12}}, 0},
      {"second_last_grid_point_just_above_fz", {0.5, 3491.1}, {1, 2}, 0.1,
       trace("3491.100000", "0.500000", "34907", "34907"), 34907,
       {{34905, 3491.0, 2, 1e-4}, {34906, 0, 0, -1}, {34907, 0, 0, -1}}, 2},
      {"excitation_after_response_equals_excitation_alone", {10, 50}, {1, 5}, 100,
       trace("50.000000", "10.000000", "1", "1"), 1, {{0, 10, 1, 1e-15}, {1, 0, 0, -1}}, 1, f1, a1},
  };
}

struct snapshot {
  std::vector<bits> f, a;
  std::int32_t last;
};

snapshot take(std::size_t n) {
  snapshot s;
  for (std::size_t k = 0; k < n; ++k) {
    s.f.push_back(bits_of(table.freq[k]));
    s.a.push_back(bits_of(table.amp[k]));
  }
  s.last = table.last;
  return s;
}

TEST(IntlogGrid, TableOfCases) {
  for (const grid_case& c : grid_cases()) {
    SCOPED_TRACE(c.name);
    load(c.f, c.a);
    EXPECT_EQ(run_intlog(c.step), c.trace);
    ASSERT_EQ(table.last, c.last);
    for (const point& p : c.points) {
      SCOPED_TRACE(p.index);
      EXPECT_EQ(bits_of(table.freq[p.index]), bits_of(p.freq)) << table.freq[p.index];
      if (p.tol < 0) {
        EXPECT_EQ(bits_of(table.amp[p.index]), bits_of(p.amp)) << table.amp[p.index];
      } else {
        EXPECT_NEAR(table.amp[p.index], p.amp, p.tol * std::fabs(p.amp));
      }
    }
    if (c.last >= 0) {
      int zeros = 0;
      for (std::int32_t k = c.last; k >= 0 && table.freq[k] == 0 && table.amp[k] == 0; --k) ++zeros;
      EXPECT_EQ(zeros, c.zeros_at_end);
      // Nothing is written past the grid.
      EXPECT_EQ(table.freq[c.last + 1], c.last + 1 < static_cast<std::int32_t>(c.f.size()) ? c.f[c.last + 1] : filler);
    }

    if (!c.prior_f.empty()) {
      const std::size_t n = static_cast<std::size_t>(std::max<std::int32_t>(c.last, 0)) + 2;
      const snapshot alone = take(n);
      load(c.prior_f, c.prior_a);
      run_intlog(c.step);
      load(c.f, c.a);
      EXPECT_EQ(run_intlog(c.step), c.trace);
      const snapshot after = take(n);
      EXPECT_EQ(after.last, alone.last);
      EXPECT_EQ(after.f, alone.f);
      EXPECT_EQ(after.a, alone.a);
    }
  }
}

// Between two points the amplitude is the power law through them, also on a
// table whose grid crosses many segments and slopes of both signs.
TEST(IntlogGrid, FollowsThePowerLawOfEachSegment) {
  const std::vector<double> f{1, 2, 8, 9, 40, 41};
  const std::vector<double> a{3, 12, 0.75, 2, 2, 1e-3};
  load(f, a);
  run_intlog(0.25);
  ASSERT_EQ(table.last, 161);  // q = 160, the grid ends above 41 Hz
  for (std::int32_t i = 0; i <= 160; ++i) {
    const double x = table.freq[i];
    ASSERT_EQ(x, 1 + 0.25 * i);
    std::size_t j = 1;
    while (f[j] < x) ++j;
    if (x == f[j]) {
      EXPECT_EQ(table.amp[i], a[j]) << i;
    } else {
      const double expect = a[j - 1] * std::pow(x / f[j - 1], std::log(a[j] / a[j - 1]) / std::log(f[j] / f[j - 1]));
      EXPECT_NEAR(table.amp[i], expect, 1e-12 * expect) << i;
    }
  }
  EXPECT_EQ(table.freq[161], 0);
  EXPECT_EQ(table.amp[161], 0);
}

// A negative amplitude makes every slope next to it the indefinite NaN, which
// the files show as -1#IND; the point itself keeps its value.
TEST(IntlogGrid, NegativeAmplitudeGivesTheIndefiniteNan) {
  load(f1, {1, -10, 1});
  run_intlog(90);
  ASSERT_EQ(table.last, 12);
  for (std::int32_t i = 0; i <= 12; ++i) {
    SCOPED_TRACE(i);
    if (i == 1) {
      EXPECT_EQ(table.amp[i], -10);
    } else if (i == 11) {
      EXPECT_EQ(table.amp[i], 1);
    } else if (i == 12) {
      EXPECT_EQ(bits_of(table.amp[i]), 0u);
    } else {
      EXPECT_EQ(bits_of(table.amp[i]), indefinite_bits);
    }
  }
}

// A zero amplitude: -infinity logarithms, NaN inside the segment that starts
// at it, 0 inside the one that ends at it.
TEST(IntlogGrid, ZeroAmplitudeGivesNanAfterAndZeroBefore) {
  load(f1, {1, 0, 1});
  run_intlog(45);  // 10, 55, 100, 145, ...
  EXPECT_EQ(table.amp[1], 0);
  EXPECT_EQ(table.amp[2], 0);  // on 100 Hz: copied
  EXPECT_TRUE(std::isnan(table.amp[3]));
}

// ---------------------------------------------------------------------------
// Grids that do not fit, and empty tables: the table stays as it was.

struct refusal_case {
  const char* name;
  std::vector<double> f;
  double step;
  std::string trace;
};

std::string too_small(const std::string& nt_line, const std::string& points) {
  return "\n intlog \n" + nt_line + "\n The step is too small for the frequency range of this table: the grid would need " +
         points + " points, more than the 200000 a table holds. The table is left unchanged. \n";
}

const std::string no_grid =
    "\n intlog \n\n The step gives no usable grid for the frequency range of this table. "
    "The table is left unchanged. \n";
const std::string empty_table = "\n intlog \n\n The table is empty; there is nothing to resample. \n";

TEST(IntlogRefusal, TableOfCases) {
  const refusal_case cases[] = {
      {"nn_200000_needs_200001_points", {0, 7, 199999}, 1,
       too_small(" fz=199999.000000  fa=0.000000   nt=200000  \n", "200001")},
      {"nn_200001", {0, 200000}, 1, too_small(" fz=200000.000000  fa=0.000000   nt=200001  \n", "200002")},
      {"largest_32_bit_nn", {0, 2147483646.5}, 1,
       too_small(" fz=2147483646.500000  fa=0.000000   nt=2147483647  \n", "2147483648")},
      {"nn_beyond_32_bits_prints_no_nt", {0, 2147483647}, 1, too_small("", "2147483649")},
      {"huge_quotient", {0, 1e20}, 1, too_small("", "100000000000000000000")},
      {"tiny_step", {0, 1}, std::ldexp(1.0, -60), too_small("", "1152921504606847000")},  // 2^60, 17 digits kept
      {"quotient_below_32_bits", {2147483650.0, 0}, 1, no_grid},
      {"negative_tiny_step", {10, 100, 1000}, -1e-7, no_grid},
  };
  for (const refusal_case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<double> a(c.f.size(), 2.5);
    load(c.f, a);
    EXPECT_EQ(run_intlog(c.step), c.trace);
    EXPECT_EQ(table.last, static_cast<std::int32_t>(c.f.size()) - 1);
    for (std::size_t k = 0; k < c.f.size(); ++k) {
      EXPECT_EQ(bits_of(table.freq[k]), bits_of(c.f[k]));
      EXPECT_EQ(table.amp[k], 2.5);
    }
    EXPECT_EQ(table.freq[c.f.size()], filler);
    EXPECT_EQ(table.amp[c.f.size()], filler);
  }
}

// Just inside the limits the resampling's own rules apply.
TEST(IntlogRefusal, LimitsThatStillFit) {
  load({0, 199998.5}, {1, 1});
  run_intlog(1);
  EXPECT_EQ(table.last, max_points - 1);  // 200000 grid points fill the table
  EXPECT_EQ(table.freq[max_points - 1], 0);
  EXPECT_EQ(table.freq[max_points - 2], 199998);

  load({2147483649.5, 0}, {1, 1});  // q = -2147483649.5, nn the lowest 32-bit value
  EXPECT_EQ(run_intlog(1), trace("0.000000", "2147483649.500000", "-2147483648", "-2147483648"));
  EXPECT_EQ(table.last, std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(table.freq[0], 2147483649.5);
}

TEST(IntlogRefusal, EmptyTableIsLeftAsItIs) {
  // Arrays of exactly max_points entries, so a sanitized build catches any
  // read before entry 0.
  std::vector<double> f(max_points, 3.0), a(max_points, 4.0);
  for (std::int32_t last : {-1, -8, std::numeric_limits<std::int32_t>::min()}) {
    SCOPED_TRACE(last);
    std::int32_t l = last;
    bandwidth = 1;
    testing::internal::CaptureStdout();
    intlog(f.data(), a.data(), l);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), empty_table);
    EXPECT_EQ(l, last);
    EXPECT_TRUE(std::all_of(f.begin(), f.end(), [](double v) { return v == 3.0; }));
    EXPECT_TRUE(std::all_of(a.begin(), a.end(), [](double v) { return v == 4.0; }));
  }
}

// ---------------------------------------------------------------------------
// The plain resampling: for every grid point the search starts again at
// j = 1. It is slow (grid x table) and it is the definition.

struct reference_result {
  bool refused = false;
  bool too_costly = false;  // grid x table beyond what a test should spend
  std::int32_t last = 0;
  std::vector<double> f, a;  // the table afterwards, as long as the input or the grid
  std::string trace;
};

reference_result reference_intlog(const std::vector<double>& f, const std::vector<double>& a, double step,
                                  double max_cost = 4e6) {
  reference_result r;
  const std::int32_t L = static_cast<std::int32_t>(f.size()) - 1;
  const double fa = f[0];
  const double fz = f[L];
  const double q = (fz - fa) / step;
  double t = std::isfinite(q) ? std::trunc(q) : 0.0;
  const double nn_wide = t + 1;
  if (nn_wide >= max_points || nn_wide < std::numeric_limits<std::int32_t>::min()) {
    r.refused = true;
    r.last = L;
    r.f = f;
    r.a = a;
    return r;
  }
  const std::int32_t nn = static_cast<std::int32_t>(nn_wide);
  if (static_cast<double>(nn) * L > max_cost) {
    r.too_costly = true;
    return r;
  }
  r.trace = platform::text_line()
                .text("\n intlog \n fz=")
                .fixed(fz, 0, 6)
                .text("  fa=")
                .fixed(fa, 0, 6)
                .text("   nt=")
                .integer(nn)
                .text("  \n\n nn=")
                .integer(nn)
                .text(" ")
                .view();

  std::vector<double> slope(f.size(), 0.0);
  for (std::int32_t k = 0; k < L; ++k) {
    slope[k] = (platform::ln(a[k + 1]) - platform::ln(a[k])) / (platform::ln(f[k + 1]) - platform::ln(f[k]));
  }
  const std::size_t grid_size = nn >= 0 ? static_cast<std::size_t>(nn) + 1 : 0;
  std::vector<double> gf(std::max<std::size_t>(grid_size, 1), 0.0), ga(gf.size(), 0.0);
  gf[0] = f[0];
  ga[0] = a[0];
  for (std::int32_t i = 0; i <= nn; ++i) {
    const double x = i * step + fa;
    if (x < f[0] || std::isnan(x) || L == 0) continue;
    for (std::int32_t j = 1; j <= L; ++j) {
      if (x < f[j]) {
        gf[i] = x;
        ga[i] = platform::pow10(slope[j - 1] * (platform::lg(x) - platform::lg(f[j - 1])) + platform::lg(a[j - 1]));
        break;
      }
      if (x == f[j]) {
        gf[i] = x;
        ga[i] = a[j];
        break;
      }
    }
  }
  r.f = f;
  r.a = a;
  if (grid_size > r.f.size()) {
    r.f.resize(grid_size, filler);
    r.a.resize(grid_size, filler);
  }
  for (std::size_t k = 0; k < grid_size; ++k) {
    r.f[k] = gf[k];
    r.a[k] = ga[k];
  }
  r.last = nn;
  return r;
}

double nan_with(bits b) { return std::bit_cast<double>(b); }

const double inf = std::numeric_limits<double>::infinity();
// The program meets one NaN only: input files cannot hold a NaN, so every NaN
// comes from an invalid operation, and that gives the indefinite one. Other
// NaNs (payloads, a signalling one) are mixed in on some tables too; where two
// different NaNs meet in a product or a sum, which one comes out depends on
// the compiler's operand order, so there only NaN-ness is compared.
const double special[] = {
    0.0, -0.0, -1.0, -3.5, inf, -inf, nan_with(indefinite_bits), 1e-300, 1e300, 5e-324, 1.0,
};
const double other_nans[] = {
    nan_with(0x7FF8000000000000u), nan_with(0x7FF8000000000123u), nan_with(0x7FF0000000000001u),
};

class table_maker {
 public:
  explicit table_maker(unsigned seed) : rng_(seed) {}

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }

  // Some tables get other NaNs than the indefinite one among their specials.
  bool other_nans_in = false;
  double any_special() {
    if (other_nans_in && pick(4) == 0) return other_nans[pick(std::size(other_nans))];
    return special[pick(std::size(special))];
  }
  double amplitude() {
    switch (pick(6)) {
      case 0: return any_special();
      case 1: return static_cast<double>(pick(5));  // 0 to 4, repeats
      default: return uniform(1e-3, 1e3);
    }
  }

  std::vector<double> frequencies(int n) {
    std::vector<double> f(n);
    switch (pick(6)) {
      case 0: {  // ascending, integer, with repeats
        double v = pick(20);
        for (double& x : f) x = v += pick(4);
        break;
      }
      case 1: {  // unsorted small integers, negative and zero among them
        for (double& x : f) x = pick(30) - 5;
        break;
      }
      case 2: {  // ascending with tiny and huge steps
        double v = uniform(0, 10);
        const double steps[] = {0.0, 1e-13, 1e-9, 0.5, 3.0, 1e3};
        for (double& x : f) x = v += steps[pick(std::size(steps))];
        break;
      }
      case 3: {  // ascending, then partly shuffled
        double v = uniform(-5, 50);
        for (double& x : f) x = v += uniform(0, 5);
        for (int k = 0; k < n / 4; ++k) std::swap(f[pick(n)], f[pick(n)]);
        break;
      }
      case 4: {  // special values among ordinary ones
        double v = uniform(0, 20);
        for (double& x : f) x = pick(4) == 0 ? any_special() : (v += pick(5));
        break;
      }
      default: {  // descending
        double v = uniform(50, 500);
        for (double& x : f) x = v -= uniform(0, 10);
        break;
      }
    }
    return f;
  }

  // A step that gives grids of a few hundred points mostly, now and then one
  // that lands on the integer frequencies, a degenerate or a refused one.
  double step(const std::vector<double>& f) {
    const double span = f.back() - f.front();
    switch (pick(8)) {
      case 0: return 1.0;
      case 1: return 0.5;
      case 2: return 0.0;
      case 3: return -uniform(0.5, 5);
      case 4: return any_special();
      default: {
        const double target = uniform(-3, 400);
        const double s = span / target;
        return std::isfinite(s) && s != 0 ? s : 1.0;
      }
    }
  }

 private:
  std::mt19937 rng_;
};

TEST(IntlogSearch, AgreesWithThePlainSearchOnRandomTables) {
  table_maker make(20240611);
  int compared = 0, refused = 0;
  for (int trial = 0; trial < 1500; ++trial) {
    make.other_nans_in = make.pick(4) == 0;
    const int n = 1 + make.pick(make.pick(4) == 0 ? 300 : 40);
    const std::vector<double> f = make.frequencies(n);
    std::vector<double> a(n);
    for (double& v : a) v = make.amplitude();
    const double step = make.step(f);
    const reference_result want = reference_intlog(f, a, step);
    if (want.too_costly) continue;

    SCOPED_TRACE(testing::Message() << "trial " << trial << ", " << n << " points, step " << step);
    load(f, a);
    const std::string printed = run_intlog(step);
    ASSERT_EQ(table.last, want.last);
    if (want.refused) {
      ++refused;
      EXPECT_EQ(printed.substr(0, 10), "\n intlog \n");
    } else {
      EXPECT_EQ(printed, want.trace);
    }
    for (std::size_t k = 0; k < want.f.size(); ++k) {
      ASSERT_EQ(bits_of(table.freq[k]), bits_of(want.f[k])) << "freq " << k;
      if (make.other_nans_in && std::isnan(want.a[k])) {
        ASSERT_TRUE(std::isnan(table.amp[k])) << "amp " << k;
      } else {
        ASSERT_EQ(bits_of(table.amp[k]), bits_of(want.a[k])) << "amp " << k;
      }
    }
    ASSERT_EQ(table.freq[want.f.size()], filler);
    ++compared;
  }
  EXPECT_GT(compared, 1000);
  EXPECT_GT(refused, 0);
}

// A long unsorted table whose prefix maximum rises slowly: the bisection
// must land on the first point at or above each grid frequency.
TEST(IntlogSearch, AgreesOnALongZigzagTable) {
  std::vector<double> f, a;
  for (int k = 0; k < 3000; ++k) {
    f.push_back(k % 2 == 0 ? 1 + k * 0.5 : 1 + k * 0.25);  // rises, falls back, rises past
    a.push_back(1 + (k % 7));
  }
  f.push_back(1500);
  a.push_back(2);
  for (double step : {0.25, 0.3, 1.0, 7.5}) {
    SCOPED_TRACE(step);
    const reference_result want = reference_intlog(f, a, step, 1e8);
    ASSERT_FALSE(want.too_costly);
    load(f, a);
    run_intlog(step);
    ASSERT_EQ(table.last, want.last);
    for (std::size_t k = 0; k < want.f.size(); ++k) {
      ASSERT_EQ(bits_of(table.freq[k]), bits_of(want.f[k])) << k;
      ASSERT_EQ(bits_of(table.amp[k]), bits_of(want.a[k])) << k;
    }
  }
}

// ---------------------------------------------------------------------------
// The dialogue, with standard input taken from a file.

// The answers taken from a file that holds `text`, as a run takes them from
// standard input.
class stdin_from {
 public:
  explicit stdin_from(const std::string& text) : path_(testing::TempDir() + "intlog-test-answers") {
    if (std::FILE* w = std::fopen(path_.c_str(), "wb")) {
      EXPECT_EQ(std::fwrite(text.data(), 1, text.size(), w), text.size());
      std::fclose(w);
    }
    file_ = std::fopen(path_.c_str(), "rb");
    EXPECT_NE(file_, nullptr);
    platform::answers_from(file_);
  }
  ~stdin_from() {
    platform::answers_from(nullptr);
    if (file_ != nullptr) std::fclose(file_);
    std::remove(path_.c_str());
  }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
};

func_table response, excitation;

void load_both() {
  std::copy(f1.begin(), f1.end(), response.freq);
  std::copy(a1.begin(), a1.end(), response.amp);
  response.last = 2;
  excitation.freq[0] = 10;
  excitation.freq[1] = 200;
  excitation.amp[0] = 2;
  excitation.amp[1] = 2;
  excitation.last = 1;
}

std::string run_dialogue() {
  testing::internal::CaptureStdout();
  resampling_dialogue(response, excitation);
  return testing::internal::GetCapturedStdout();
}

TEST(ResamplingDialogue, AnswersInOneStream) {
  const std::string question = "\n Apply logarithmic interpolation? \n 1=yes  2=no  \n";
  stdin_from in("1 100\n2\n1 zz\n");

  load_both();
  bandwidth = 0;
  EXPECT_EQ(run_dialogue(), question + "\n Enter bandwidth \n" + "\n go to intlog 1\n" +
                                trace("1000.000000", "10.000000", "10", "10") + "\n  lasta=10   \n" +
                                "\n go to intlog 2\n" + trace("200.000000", "10.000000", "2", "2") +
                                "\n  lastb=2   \n");
  EXPECT_EQ(bandwidth, 100);
  EXPECT_EQ(response.last, 10);
  EXPECT_EQ(response.freq[9], 910);
  EXPECT_EQ(excitation.last, 2);
  EXPECT_EQ(excitation.freq[1], 110);

  // 2: nothing but the question, the tables stay.
  load_both();
  EXPECT_EQ(run_dialogue(), question);
  EXPECT_EQ(response.last, 2);
  EXPECT_EQ(excitation.last, 1);

  // A step that is no number leaves the step as it was (0 in a run).
  load_both();
  bandwidth = 0;
  EXPECT_EQ(run_dialogue(), question + "\n Enter bandwidth \n" + "\n go to intlog 1\n" +
                                trace("1000.000000", "10.000000", "1", "1") + "\n  lasta=1   \n" +
                                "\n go to intlog 2\n" + trace("200.000000", "10.000000", "1", "1") +
                                "\n  lastb=1   \n");
  EXPECT_EQ(bandwidth, 0);

  // The pending "zz" is no integer: a "no", and it stays pending.
  load_both();
  EXPECT_EQ(run_dialogue(), question);
  EXPECT_EQ(response.last, 2);
}

}  // namespace
