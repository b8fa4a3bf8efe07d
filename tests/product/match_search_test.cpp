// The search behind the product against the plain forward scan it replaces:
// both must give the same first accepting index for every table, in order or
// not, and for every start index the product step can reach.
#include "product/match_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

func_table response;

// The forward scan as the product rule states it.
std::int32_t plain_scan(const func_table& r, double fe, std::int32_t s) {
  for (std::int32_t j = s; j <= r.last; ++j) {
    double d = std::fabs(r.freq[j] - fe);
    if (d < 0.001) return j;
    if (j < r.last && r.freq[j] < fe && fe < r.freq[j + 1]) return j;
  }
  return -1;
}

struct shape {
  const char* name;
  int points;
  bool sorted;
  bool duplicates;
  bool specials;
  double spacing;
};

double pick_frequency(std::mt19937_64& g, const shape& sh, const std::vector<double>& fr) {
  std::uniform_int_distribution<int> kind(0, 9);
  std::uniform_real_distribution<double> u(-1, 1);
  int k = kind(g);
  if (!fr.empty() && k < 6) {
    double base = fr[std::uniform_int_distribution<std::size_t>(0, fr.size() - 1)(g)];
    if (!std::isfinite(base)) return base;
    switch (k) {
      case 0: return base;
      case 1: return base + 0.001;
      case 2: return base - 0.001;
      case 3: return base + 0.0005 * u(g);
      case 4: return std::nextafter(base + 0.001, 0.0);
      default: return base + sh.spacing * u(g);
    }
  }
  if (k == 6) return -1.0 + 3.0 * sh.spacing * sh.points * (u(g) + 1) / 2;
  if (k == 7 && sh.specials) {
    const double specials[] = {0.0, -0.0, std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(), std::nan(""), 1e308, -1e308, 5e-324};
    return specials[std::uniform_int_distribution<int>(0, 7)(g)];
  }
  return sh.spacing * sh.points * (u(g) + 1) / 2;
}

TEST(MatchSearch, AgreesWithThePlainScanOnRandomTables) {
  const shape shapes[] = {
      {"sorted, spaced", 300, true, false, false, 1.0},
      {"sorted, closer than the tolerance", 300, true, false, false, 0.0004},
      {"sorted with duplicate frequencies", 300, true, true, false, 0.01},
      {"shuffled", 300, false, false, false, 1.0},
      {"shuffled with duplicates and specials", 300, false, true, true, 0.002},
      {"one point", 1, true, false, false, 1.0},
      {"two points", 2, false, false, true, 0.001},
      {"sorted with specials", 200, true, false, true, 0.5},
  };
  std::mt19937_64 g(20261211);
  for (const shape& sh : shapes) {
    for (int round = 0; round < 20; ++round) {
      std::vector<double> fr;
      std::uniform_real_distribution<double> u(0, 1);
      double f = -2.0;
      for (int j = 0; j < sh.points; ++j) {
        f += sh.spacing * u(g);
        fr.push_back(f);
        if (sh.duplicates && u(g) < 0.2) fr.push_back(f);
        if (sh.specials && u(g) < 0.05) {
          // Points at the tolerance from 0 put a bound of their interval
          // among the densely packed doubles near 0.
          const double s[] = {std::nan(""), std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(), 0.0, -0.0, 0.001, -0.001, 1e-300, 0.0005};
          fr.push_back(s[std::uniform_int_distribution<int>(0, 8)(g)]);
        }
      }
      if (!sh.sorted) std::shuffle(fr.begin(), fr.end(), g);
      response.last = static_cast<std::int32_t>(fr.size()) - 1;
      for (std::size_t j = 0; j < fr.size(); ++j) response.freq[j] = fr[j];

      // Start indices only grow, as in the product step: after a match the
      // start index moves to it.
      match::response_search search(response);
      std::int32_t s = 0;
      for (int q = 0; q < 2000; ++q) {
        double fe = pick_frequency(g, sh, fr);
        std::int32_t want = plain_scan(response, fe, s);
        std::int32_t got = search.find(fe, s);
        ASSERT_EQ(got, want) << sh.name << ", round " << round << ", query " << q << ", fe " << fe
                             << ", start " << s;
        if (got >= 0) s = got;
      }
    }
  }
}

// Queries that match nothing come first, so the search runs past its plain
// scanning and over its index while the start index still moves.
TEST(MatchSearch, AgreesWhenMostPointsMatchNothing) {
  std::mt19937_64 g(7);
  std::uniform_real_distribution<double> u(0, 1000);
  response.last = 999;
  for (int j = 0; j <= response.last; ++j) response.freq[j] = u(g);
  match::response_search search(response);
  std::int32_t s = 0;
  for (int q = 0; q < 20000; ++q) {
    double fe = q % 10 == 0 ? response.freq[std::uniform_int_distribution<int>(0, 999)(g)] : 2000 + u(g);
    std::int32_t want = plain_scan(response, fe, s);
    ASSERT_EQ(search.find(fe, s), want) << q;
    if (want >= 0) s = want;
  }
}

}  // namespace
