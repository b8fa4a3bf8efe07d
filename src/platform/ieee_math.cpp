#include "ieee_math.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace platform {

double indefinite() { return std::bit_cast<double>(std::uint64_t{0xFFF8000000000000u}); }

namespace {
// A NaN operand comes back quiet with its sign and payload, as the hardware
// passes it through an arithmetic operation.
double quiet(double x) {
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(x) | 0x0008000000000000u);
}
}  // namespace

double ln(double x) {
  if (std::isnan(x)) return quiet(x);
  if (x < 0) return indefinite();
  return std::log(x);
}

double lg(double x) {
  if (std::isnan(x)) return quiet(x);
  if (x < 0) return indefinite();
  return std::log10(x);
}

double pow10(double y) {
  if (std::isnan(y)) return quiet(y);
  return std::pow(10.0, y);
}

}  // namespace platform
