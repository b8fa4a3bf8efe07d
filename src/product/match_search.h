// The search behind the product: for an excitation frequency, the first
// response index at or after the start index where the tolerance test or the
// enclosure test succeeds. It finds the same index as a plain forward scan
// over the response table, for tables in any order, without the scan's cost
// of a whole table for every excitation point that matches nothing.
#pragma once

#include <cstdint>

#include "tables/tables.h"

namespace match {

inline constexpr double tolerance = 0.001;

// The tolerance test and the enclosure test at response index j.
inline bool within_tolerance(const func_table& r, std::int32_t j, double fe) {
  double d = r.freq[j] - fe;
  return (d < 0 ? -d : d) < tolerance;
}
inline bool encloses(const func_table& r, std::int32_t j, double fe) {
  return j < r.last && r.freq[j] < fe && fe < r.freq[j + 1];
}
inline bool accepts(const func_table& r, std::int32_t j, double fe) {
  return within_tolerance(r, j, fe) || encloses(r, j, fe);
}

// One search over one response table, for start indices that never
// decrease from call to call.
class response_search {
 public:
  explicit response_search(const func_table& response);
  // The first j in [start, last] that accepts fe, or -1.
  std::int32_t find(double fe, std::int32_t start);

 private:
  bool covered(double fe, std::int32_t start);
  const func_table& r_;
  long long scan_budget_;
  bool indexed_ = false;
  std::int32_t removed_below_ = 0;
};

}  // namespace match
