#include "product/match_search.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace match {
namespace {

// For every response index j, the excitation frequencies that index j
// accepts form one closed interval of doubles: the tolerance test holds on an
// interval around fr(j) (fr(j) - fe rounds monotonically), and the enclosure
// interval (fr(j), fr(j+1)) starts right after fr(j). A count of intervals
// over each stretch of the frequency axis then tells at once whether any
// index from the start index on accepts a frequency; only then is the table
// scanned, and the scan ends at the match, where the start index moves.

constexpr std::size_t max_keys = 2 * static_cast<std::size_t>(max_points);

// Doubles in numeric order as unsigned keys, -0 folded onto +0.
std::uint64_t key_of(double v) {
  if (v == 0) v = 0.0;
  std::uint64_t b = std::bit_cast<std::uint64_t>(v);
  return (b >> 63) ? ~b : b | (std::uint64_t{1} << 63);
}

double of_key(std::uint64_t k) { return std::bit_cast<double>((k >> 63) ? k & ~(std::uint64_t{1} << 63) : ~k); }

double next_up(double v) { return std::nextafter(v, std::numeric_limits<double>::infinity()); }
double next_down(double v) { return std::nextafter(v, -std::numeric_limits<double>::infinity()); }

bool tolerance_holds(double fr, double fe) {
  double d = fr - fe;
  return (d < 0 ? -d : d) < tolerance;
}

// The bounds of the tolerance interval, over the doubles in order: fr - fe
// rounds monotonically, so the test fails below the lower bound and holds
// from it up to fr (and from fr up to the upper bound). Each bound lies
// within a few doubles of fr -/+ tolerance, except near 0, where some 2^62
// doubles can lie between: a gallop from that guess, doubling its stride,
// then a bisection, finds it in few steps either way.
template <class Holds>
std::uint64_t first_holding(std::uint64_t guess, std::uint64_t floor, std::uint64_t top, Holds holds) {
  // holds at top, and holds turns true once over [floor, top]
  std::uint64_t lo, hi;  // fails at lo (or lo == floor), holds at hi
  if (holds(guess)) {
    hi = guess;
    std::uint64_t stride = 1;
    while (hi - floor > stride && holds(hi - stride)) {
      hi -= stride;
      if (stride < std::uint64_t{1} << 62) stride *= 2;
    }
    lo = hi - floor > stride ? hi - stride : floor;
    if (lo == floor && holds(lo)) return lo;
  } else {
    lo = guess;
    std::uint64_t stride = 1;
    while (top - lo > stride && !holds(lo + stride)) {
      lo += stride;
      if (stride < std::uint64_t{1} << 62) stride *= 2;
    }
    hi = top - lo > stride ? lo + stride : top;
  }
  while (hi - lo > 1) {
    std::uint64_t mid = lo + (hi - lo) / 2;
    if (holds(mid)) {
      hi = mid;
    } else {
      lo = mid;
    }
  }
  return hi;
}

double lowest_within(double fr) {
  const std::uint64_t floor = key_of(-std::numeric_limits<double>::max());
  const std::uint64_t top = key_of(fr);
  const std::uint64_t guess = std::clamp(key_of(fr - tolerance), floor, top);
  return of_key(first_holding(guess, floor, top, [fr](std::uint64_t k) { return tolerance_holds(fr, of_key(k)); }));
}

// The same search mirrored: keys counted down from the largest double.
double highest_within(double fr) {
  const std::uint64_t ceiling = key_of(std::numeric_limits<double>::max());
  const std::uint64_t bottom = ceiling - key_of(fr);
  const std::uint64_t guess = std::clamp(ceiling - std::min(key_of(fr + tolerance), ceiling), std::uint64_t{0}, bottom);
  const std::uint64_t k = first_holding(guess, 0, bottom,
                                        [fr, ceiling](std::uint64_t m) { return tolerance_holds(fr, of_key(ceiling - m)); });
  return of_key(ceiling - k);
}

// The interval [lo, hi] of finite excitation frequencies that index j
// accepts; false when there is none.
bool accepted_interval(const func_table& r, std::int32_t j, double& lo, double& hi) {
  const double fr = r.freq[j];
  bool any = false;
  if (std::isfinite(fr)) {
    lo = lowest_within(fr);
    hi = highest_within(fr);
    any = true;
  }
  if (j < r.last && fr < r.freq[j + 1]) {
    double elo = next_up(fr), ehi = next_down(r.freq[j + 1]);
    if (elo <= ehi) {
      if (!any) lo = elo, hi = ehi, any = true;
      else hi = std::max(hi, ehi);
    }
  }
  if (any) {
    lo = std::max(lo, -std::numeric_limits<double>::max());
    hi = std::min(hi, std::numeric_limits<double>::max());
  }
  return any && lo <= hi;
}

// The stretches: sorted distinct interval bounds (lower bounds and one past
// the upper bounds); stretch p runs from bound p up to bound p + 1.
std::uint64_t bounds[max_keys];
std::size_t bound_count;
// Each index's stretches [first, end), or first == end for none.
std::int32_t first_stretch[max_points];
std::int32_t end_stretch[max_points];
// Interval counts on the nodes of a segment tree over the stretches.
std::int32_t counts[2 * max_keys];

std::int32_t stretch_at(std::uint64_t k) {
  return static_cast<std::int32_t>(std::lower_bound(bounds, bounds + bound_count, k) - bounds);
}

void add_interval(std::int32_t l, std::int32_t e, std::int32_t delta) {
  const std::int32_t n = static_cast<std::int32_t>(bound_count);
  for (l += n, e += n; l < e; l >>= 1, e >>= 1) {
    if (l & 1) counts[l++] += delta;
    if (e & 1) counts[--e] += delta;
  }
}

bool stretch_covered(std::int32_t p) {
  std::int64_t sum = 0;
  for (std::int32_t i = p + static_cast<std::int32_t>(bound_count); i >= 1; i >>= 1) sum += counts[i];
  return sum > 0;
}

// Each index's interval as keys [lo, end), kept from the pass that sorts the
// bounds to the pass that counts them: finding an interval's bounds is the
// costly part, so it is done once per index.
std::uint64_t interval_lo[max_points];
std::uint64_t interval_end[max_points];

void build_index(const func_table& r) {
  bound_count = 0;
  for (std::int32_t j = 0; j <= r.last; ++j) {
    double lo, hi;
    if (accepted_interval(r, j, lo, hi)) {
      interval_lo[j] = key_of(lo);
      interval_end[j] = key_of(hi) + 1;
      bounds[bound_count++] = interval_lo[j];
      bounds[bound_count++] = interval_end[j];
    } else {
      interval_lo[j] = interval_end[j] = 0;  // empty
    }
  }
  std::sort(bounds, bounds + bound_count);
  bound_count = static_cast<std::size_t>(std::unique(bounds, bounds + bound_count) - bounds);
  std::fill(counts, counts + 2 * bound_count, 0);
  for (std::int32_t j = 0; j <= r.last; ++j) {
    if (interval_lo[j] < interval_end[j]) {
      first_stretch[j] = stretch_at(interval_lo[j]);
      end_stretch[j] = stretch_at(interval_end[j]);
      add_interval(first_stretch[j], end_stretch[j], 1);
    } else {
      first_stretch[j] = end_stretch[j] = 0;
    }
  }
}

}  // namespace

response_search::response_search(const func_table& response)
    : r_(response), scan_budget_(4 * (static_cast<long long>(response.last) + 1) + 1024) {}

bool response_search::covered(double fe, std::int32_t start) {
  if (!indexed_) {
    build_index(r_);
    indexed_ = true;
  }
  for (; removed_below_ < start; ++removed_below_) {
    add_interval(first_stretch[removed_below_], end_stretch[removed_below_], -1);
  }
  const std::uint64_t k = key_of(fe);
  std::int32_t p = static_cast<std::int32_t>(std::upper_bound(bounds, bounds + bound_count, k) - bounds) - 1;
  if (p < 0 || p + 1 >= static_cast<std::int32_t>(bound_count)) return false;
  return stretch_covered(p);
}

std::int32_t response_search::find(double fe, std::int32_t start) {
  if (start > r_.last || !std::isfinite(fe)) return -1;  // an infinite or NaN frequency matches nothing
  // Tables that match as they go are scanned plainly; once the scans have
  // cost more than a few passes over the table, the index takes over.
  if (!indexed_ && scan_budget_ > 0) {
    for (std::int32_t j = start; j <= r_.last; ++j) {
      --scan_budget_;
      if (accepts(r_, j, fe)) return j;
    }
    return -1;
  }
  if (!covered(fe, start)) return -1;
  for (std::int32_t j = start; j <= r_.last; ++j) {
    if (accepts(r_, j, fe)) return j;
  }
  return -1;
}

}  // namespace match
