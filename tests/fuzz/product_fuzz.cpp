// The product on tables built from arbitrary bytes, against the plain
// forward scan that the product rule states: the same products in the same
// order, nothing stored past them, and the indexed search engaged whenever
// the scans grow long. Values come from a grid of steps of 0.00025 Hz
// (so that the 0.001 Hz tolerance and the enclosure bounds are met exactly,
// just inside and just outside) and from a palette of special values.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/text_writer.h"
#include "product/product.h"

namespace {

[[noreturn]] void fail(const char* what, long long at) {
  std::fprintf(stderr, "%s (entry %lld)\n", what, at);
  std::abort();
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

func_table response;
func_table excitation;
product_table product;
const double untouched = __builtin_nan("0x77");

double value_of(const std::uint8_t* p) {
  const double inf = std::numeric_limits<double>::infinity();
  const double palette[] = {0.0,    -0.0,   inf,      -inf,   std::nan(""), -std::nan(""), 1e308, -1e308,
                            5e-324, 1e-50,  -1e-50,   1e-49,  0.001,        -0.001,        1e15,  1e15 + 0.125,
                            1e-3 / 2, 0.0009999999999999998, 1.0009999999999999, 1.001};
  if (p[0] < 224) return (p[0] * 256 + p[1] - 28672) * 0.00025;
  return palette[p[1] % (sizeof palette / sizeof palette[0])];
}

// The product rule with the plain forward scan.
struct point {
  double f, p;
};
std::vector<point> plain_product() {
  std::vector<point> out;
  std::int32_t s = 0;
  for (std::int32_t i = 0; i <= excitation.last; ++i) {
    const double fe = excitation.freq[i];
    const double ae = excitation.amp[i];
    if (s > response.last || !(std::fabs(ae) > 1e-50)) continue;
    for (std::int32_t j = s; j <= response.last; ++j) {
      const double fr = response.freq[j];
      double p;
      if (std::fabs(fr - fe) < 0.001) {
        p = response.amp[j] * ae;
      } else if (j < response.last && fr < fe && fe < response.freq[j + 1]) {
        const double t = (fe - fr) / (response.freq[j + 1] - fr);
        const double r = (1 - t) * response.amp[j] + t * response.amp[j + 1];
        p = r * ae;
      } else {
        continue;
      }
      out.push_back({fe, p});
      s = j;
      break;
    }
  }
  return out;
}

}  // namespace

// Byte 0: number of response points (1..64); then 4 bytes a point
// (frequency, amplitude) for the response and the rest for the excitation.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t nr = data[0] % 64 + 1;
  std::size_t at = 1;
  std::int32_t n = 0;
  for (; n < static_cast<std::int32_t>(nr) && at + 4 <= size; ++n, at += 4) {
    response.freq[n] = value_of(data + at);
    response.amp[n] = value_of(data + at + 2);
  }
  response.last = n - 1;
  n = 0;
  for (; n < max_points && at + 4 <= size; ++n, at += 4) {
    excitation.freq[n] = value_of(data + at);
    excitation.amp[n] = value_of(data + at + 2);
  }
  excitation.last = n - 1;
  for (std::int32_t i = 0; i <= excitation.last + 1 && i < max_points; ++i) product.freq[i] = product.amp[i] = untouched;

  platform::text_writer out;
  if (!out.open("/dev/null")) fail("cannot open /dev/null", -1);
  mult_tables(response, excitation, out, product);
  out.close();

  const std::vector<point> want = plain_product();
  for (std::size_t k = 0; k < want.size(); ++k) {
    if (!same_bits(product.freq[k], want[k].f) || !same_bits(product.amp[k], want[k].p))
      fail("product differs from the plain scan", static_cast<long long>(k));
  }
  const std::size_t k = want.size();
  if (k < static_cast<std::size_t>(max_points) && (!same_bits(product.freq[k], untouched) || !same_bits(product.amp[k], untouched)))
    fail("an entry past the products was written", static_cast<long long>(k));
  return 0;
}
