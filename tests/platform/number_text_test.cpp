#include "platform/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using std::uint64_t;

// The random sweeps are sized for a Release build; sanitizer and debug builds
// run a tenth of them.
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
constexpr int sweep_scale = 10;
#else
constexpr int sweep_scale = 1;
#endif

double from_bits(uint64_t b) { return std::bit_cast<double>(b); }
uint64_t to_bits(double v) { return std::bit_cast<uint64_t>(v); }

constexpr uint64_t plus_inf = 0x7FF0000000000000u;
constexpr uint64_t minus_inf = 0xFFF0000000000000u;
constexpr uint64_t indefinite = 0xFFF8000000000000u;
constexpr uint64_t plus_qnan = 0x7FF8000000000000u;

// ---------------------------------------------------------------------------
// The calls under test, each writing into a heap block of exactly
// number_text_max bytes so that the sanitizer sees any overrun.

enum class form { e, f, g };

std::string call(form f, double v, int width, int precision) {
  std::vector<char> buf(platform::number_text_max);
  char* end = nullptr;
  switch (f) {
    case form::e: end = platform::put_exp(buf.data(), v, width, precision); break;
    case form::f: end = platform::put_fixed(buf.data(), v, width, precision); break;
    case form::g: end = platform::put_general(buf.data(), v, width, precision); break;
  }
  return std::string(buf.data(), end);
}

std::string call_int(long long v) {
  std::vector<char> buf(platform::number_text_max);
  return std::string(buf.data(), platform::put_int(buf.data(), v));
}

// ---------------------------------------------------------------------------
// Reference: the exact decimal expansion by big-integer arithmetic, and the
// conversion rules applied to it with plain strings.

// Unsigned big integer in base 10^9, least significant limb first.
struct big {
  std::vector<uint64_t> limb;

  explicit big(uint64_t v) {
    do {
      limb.push_back(v % 1000000000u);
      v /= 1000000000u;
    } while (v != 0);
  }
  void mul(uint64_t f) {  // f < 2^32
    uint64_t carry = 0;
    for (uint64_t& l : limb) {
      uint64_t t = l * f + carry;
      l = t % 1000000000u;
      carry = t / 1000000000u;
    }
    while (carry != 0) {
      limb.push_back(carry % 1000000000u);
      carry /= 1000000000u;
    }
  }
  std::string str() const {
    std::string s = std::to_string(limb.back());
    char part[16];
    for (std::size_t i = limb.size() - 1; i-- > 0;) {
      std::snprintf(part, sizeof part, "%09llu", static_cast<unsigned long long>(limb[i]));
      s += part;
    }
    return s;
  }
};

// Value = d1.d2d3... x 10^exp10, digits without trailing zeros.
struct expansion {
  std::string digits;
  int exp10;
};

// a finite and > 0: a = m x 2^e2, written as the integer m x 2^e2 or as
// m x 5^-e2 / 10^-e2.
expansion exact_decimal(double a) {
  uint64_t b = to_bits(a);
  uint64_t m = b & 0x000FFFFFFFFFFFFFu;
  int be = static_cast<int>((b >> 52) & 0x7FF);
  int e2 = be == 0 ? -1074 : be - 1075;
  if (be != 0) m |= uint64_t{1} << 52;
  big n(m);
  int shift = 0;
  if (e2 >= 0) {
    for (int k = e2; k > 0; k -= 29) n.mul(uint64_t{1} << std::min(k, 29));
  } else {
    for (int k = -e2; k > 0; k -= 13) {
      uint64_t f = 1;
      for (int i = 0; i < std::min(k, 13); ++i) f *= 5;
      n.mul(f);
    }
    shift = e2;
  }
  expansion x{n.str(), 0};
  x.exp10 = static_cast<int>(x.digits.size()) - 1 + shift;
  while (x.digits.size() > 1 && x.digits.back() == '0') x.digits.pop_back();
  return x;
}

char char_at(const std::string& s, long i) {
  return i >= 0 && i < static_cast<long>(s.size()) ? s[static_cast<std::size_t>(i)] : '0';
}

// Adds one at the last character the legacy way ('9' carries, others step
// to the next character); a carry out of the front puts a '1' before it.
void step_up(std::string& s) {
  for (std::size_t i = s.size(); i-- > 0;) {
    if (s[i] != '9') {
      ++s[i];
      return;
    }
    s[i] = '0';
  }
  s.insert(s.begin(), '1');
}

struct ref17 {
  std::string digits;  // 17 characters
  int exp10;
  bool negative;
};

ref17 ref_reduce(double v) {
  uint64_t b = to_bits(v);
  if (std::isinf(v) || std::isnan(v)) {
    std::string marker;
    if (std::isinf(v))
      marker = "1#INF";
    else if (b == indefinite)
      marker = "1#IND";
    else if ((b >> 51) & 1)
      marker = "1#QNAN";
    else
      marker = "1#SNAN";
    marker.resize(17, '0');
    return {marker, 0, std::signbit(v)};
  }
  if (v == 0) return {std::string(17, '0'), 0, false};
  expansion x = exact_decimal(std::fabs(v));
  std::string d = x.digits.substr(0, std::min<std::size_t>(17, x.digits.size()));
  d.resize(17, '0');
  int e = x.exp10;
  if (char_at(x.digits, 17) >= '5') {
    step_up(d);
    if (d.size() == 18) {
      d.pop_back();
      ++e;
    }
  }
  return {d, e, std::signbit(v)};
}

std::string pad_left(std::string s, int width) {
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
  return s;
}

std::string exponent_text(int e) {
  char t[16];
  std::snprintf(t, sizeof t, "e%c%03d", e < 0 ? '-' : '+', std::abs(e));
  return t;
}

// The first n characters rounded half up on the next; a carry into a new
// front digit keeps n characters and raises the exponent.
std::string rounded_lead(const ref17& r, int n, int& exp10) {
  std::string t;
  for (int i = 0; i < n; ++i) t += char_at(r.digits, i);
  exp10 = r.exp10;
  if (char_at(r.digits, n) >= '5') {
    step_up(t);
    if (static_cast<int>(t.size()) > n) {
      t.pop_back();
      ++exp10;
    }
  }
  return t;
}

std::string ref_exp(const ref17& r, int width, int precision) {
  int e = 0;
  std::string t = rounded_lead(r, precision + 1, e);
  std::string s = r.negative ? "-" : "";
  s += t[0];
  if (precision > 0) s += "." + t.substr(1);
  return pad_left(s + exponent_text(e), width);
}

// Positional: one character per decimal place from the units (or the
// leading digit) down to 10^-precision, then half up on 10^-(precision+1).
std::string ref_fixed(const ref17& r, int width, int precision) {
  int top = std::max(r.exp10, 0);
  std::string t;
  for (int place = top; place >= -precision; --place) t += char_at(r.digits, r.exp10 - place);
  if (char_at(r.digits, r.exp10 + precision + 1) >= '5') step_up(t);
  std::string s = r.negative ? "-" : "";
  s += t.substr(0, t.size() - static_cast<std::size_t>(precision));
  if (precision > 0) s += "." + t.substr(t.size() - static_cast<std::size_t>(precision));
  return pad_left(s, width);
}

void strip_fraction_zeros(std::string& s) {
  if (s.find('.') == std::string::npos) return;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
}

std::string ref_general(const ref17& r, int width, int precision) {
  int p = std::max(precision, 1);
  int x = 0;
  std::string t = rounded_lead(r, p, x);
  std::string s;
  if (x < -4 || x >= p) {
    s = t.substr(0, 1) + "." + t.substr(1);
    strip_fraction_zeros(s);
    s += exponent_text(x);
  } else {
    int decimals = p - 1 - x;
    for (int place = std::max(x, 0); place >= -decimals; --place) {
      if (place == -1) s += '.';
      s += char_at(t, x - place);
    }
    strip_fraction_zeros(s);
  }
  return pad_left((r.negative ? "-" : "") + s, width);
}

std::string ref_call(form f, const ref17& r, int width, int precision) {
  switch (f) {
    case form::e: return ref_exp(r, width, precision);
    case form::f: return ref_fixed(r, width, precision);
    case form::g: return ref_general(r, width, precision);
  }
  return {};
}

// ---------------------------------------------------------------------------
// Cross-check of one value in every conversion the program uses, plus one
// drawn width and precision per form.

struct conversion {
  form f;
  int width;
  int precision;
  const char* name;
};
constexpr conversion used[] = {
    {form::e, 14, 5, "%14.5e"}, {form::e, 14, 4, "%14.4e"}, {form::e, 8, 4, "%8.4e"},
    {form::g, 12, 5, "%12.5g"}, {form::f, 0, 6, "%lf"},     {form::f, 0, 0, "%.0f"},
};

std::string hex(uint64_t b) {
  char t[24];
  std::snprintf(t, sizeof t, "0x%016llX", static_cast<unsigned long long>(b));
  return t;
}

class checker {
 public:
  explicit checker(unsigned seed) : rng_(seed) {}
  ~checker() { EXPECT_EQ(failures_, 0) << "mismatches among " << checked_ << " values"; }

  void check(double v) {
    ++checked_;
    platform::digits17 d = platform::reduce17(v);
    ref17 r = ref_reduce(v);
    std::string got(d.digits, sizeof d.digits);
    bool special = std::isnan(v) || std::isinf(v);
    if (got != r.digits || d.exp10 != r.exp10 || d.negative != r.negative || d.special != special)
      fail(v, "reduce17", got + " e" + std::to_string(d.exp10), r.digits + " e" + std::to_string(r.exp10));
    for (const conversion& c : used) compare(v, r, c.f, c.width, c.precision, c.name);
    std::uniform_int_distribution<int> w(0, 40), p(0, 20);
    compare(v, r, form::e, w(rng_), p(rng_), "e");
    compare(v, r, form::f, w(rng_), p(rng_), "f");
    compare(v, r, form::g, w(rng_), p(rng_), "g");
  }
  void check_around(double v) {
    check(std::nextafter(v, -INFINITY));
    check(v);
    check(std::nextafter(v, INFINITY));
  }
  int checked() const { return checked_; }

 private:
  void compare(double v, const ref17& r, form f, int width, int precision, const char* name) {
    std::string got = call(f, v, width, precision);
    std::string want = ref_call(f, r, width, precision);
    if (got != want)
      fail(v, std::string(name) + " w" + std::to_string(width) + " p" + std::to_string(precision), got, want);
  }
  void fail(double v, const std::string& what, const std::string& got, const std::string& want) {
    if (++failures_ <= 20) {
      char t[40];
      std::snprintf(t, sizeof t, "%.17g", v);
      ADD_FAILURE() << what << " of " << t << " (" << hex(to_bits(v)) << "): got \"" << got << "\", want \""
                    << want << "\"";
    }
  }

  std::mt19937_64 rng_;
  int failures_ = 0;
  int checked_ = 0;
};

double parse(const std::string& s) { return std::strtod(s.c_str(), nullptr); }

// ---------------------------------------------------------------------------
// Fixed cases.

struct text_case {
  const char* name;
  uint64_t bits;
  form f;
  int width;
  int precision;
  std::string expected;
};

#define D(x) std::bit_cast<uint64_t>(static_cast<double>(x))

const text_case text_cases[] = {
    // Reduction to 17 digits, then rounding half up again: the double 6.139265
    // is 6.13926499999999997214..., 17 digits 6.1392650000000000.
    {"two_step_e5", D(6.139265), form::e, 14, 5, "  6.13927e+000"},
    // 1436.0499999999999545... -> 1.4360500000000000e3 -> 1.4361.
    {"two_step_e4", D(1436.05), form::e, 14, 4, "   1.4361e+003"},
    {"two_step_e4_negative", D(-1436.05), form::e, 8, 4, "-1.4361e+003"},
    {"two_step_g5", D(1436.05), form::g, 12, 5, "      1436.1"},
    // 0.01199449999999999995348... -> 1.1994500000000000e-2 -> 0.011995.
    {"two_step_lf", D(0.0119945), form::f, 0, 6, "0.011995"},
    {"two_step_lf_small", D(0.0056625), form::f, 0, 6, "0.005663"},
    // Exact halves round up, never to even.
    {"exact_half_e5", D(653058.5), form::e, 14, 5, "  6.53059e+005"},
    {"exact_half_e4", D(88728.5), form::e, 14, 4, "   8.8729e+004"},
    {"exact_half_g5", D(88728.5), form::g, 12, 5, "       88729"},
    {"exact_half_f0", D(126.5), form::f, 0, 0, "127"},
    {"exact_half_f0_0_5", D(0.5), form::f, 0, 0, "1"},
    {"exact_half_f0_2_5", D(2.5), form::f, 0, 0, "3"},
    {"exact_half_e5_integer", D(7479425.0), form::e, 14, 5, "  7.47943e+006"},
    // An exact tie at the 18th digit: 1000000000000000.25 -> ...03.
    {"tie18_lf", D(1000000000000000.25), form::f, 0, 6, "1000000000000000.300000"},
    {"tie18_f0", D(1000000000000000.25), form::f, 0, 0, "1000000000000000"},
    {"tie18_e5", D(1000000000000000.25), form::e, 14, 5, "  1.00000e+015"},
    // Carry into a new leading digit.
    {"carry_e4", D(9.99995), form::e, 14, 4, "   1.0000e+001"},
    {"carry_e5_no", D(9.99995), form::e, 14, 5, "  9.99995e+000"},
    {"carry_g5", D(9.99995), form::g, 12, 5, "          10"},
    {"carry_e4_99999_5", D(99999.5), form::e, 8, 4, "1.0000e+005"},
    {"carry_f0_99_5", D(99.5), form::f, 0, 0, "100"},
    {"carry_f0_9_5", D(9.5), form::f, 0, 0, "10"},
    // General form switch points.
    {"g_0_0001", D(0.0001), form::g, 12, 5, "      0.0001"},
    {"g_0_00001", D(0.00001), form::g, 12, 5, "      1e-005"},
    {"g_rounds_to_0_0001", D(0.00009999995), form::g, 12, 5, "      0.0001"},
    {"g_99999", D(99999.0), form::g, 12, 5, "       99999"},
    {"g_99999_5", D(99999.5), form::g, 12, 5, "      1e+005"},
    {"g_100000", D(100000.0), form::g, 12, 5, "      1e+005"},
    {"g_1e6", D(1e6), form::g, 12, 5, "      1e+006"},
    {"g_123456", D(123456.0), form::g, 12, 5, " 1.2346e+005"},
    {"g_0_00015", D(0.00015), form::g, 12, 5, "     0.00015"},
    {"g_2069_7", D(2069.7), form::g, 12, 5, "      2069.7"},
    {"g_12_5", D(12.5), form::g, 12, 5, "        12.5"},
    {"g_precision0_is_1", D(2.5), form::g, 0, 0, "3"},
    {"g_negative", D(-0.003), form::g, 12, 5, "      -0.003"},
    // Instrument-like data.
    {"e4_12_5", D(12.5), form::e, 8, 4, "1.2500e+001"},
    {"e4_0_003", D(0.003), form::e, 8, 4, "3.0000e-003"},
    {"lf_2069_7", D(2069.7), form::f, 0, 6, "2069.700000"},
    {"lf_0_1", D(0.1), form::f, 0, 6, "0.100000"},
    // Subnormals, extremes.
    {"denorm_min_e4", D(4.9406564584124654e-324), form::e, 8, 4, "4.9407e-324"},
    {"denorm_min_e5", D(4.9406564584124654e-324), form::e, 14, 5, "  4.94066e-324"},
    {"denorm_min_g5", D(4.9406564584124654e-324), form::g, 12, 5, " 4.9407e-324"},
    {"denorm_min_lf", D(4.9406564584124654e-324), form::f, 0, 6, "0.000000"},
    {"denorm_1e_320", D(1e-320), form::e, 14, 5, "  9.99989e-321"},
    {"dbl_min_e4", D(DBL_MIN), form::e, 14, 4, "   2.2251e-308"},
    {"dbl_min_g5", D(DBL_MIN), form::g, 12, 5, " 2.2251e-308"},
    {"dbl_max_e5", D(DBL_MAX), form::e, 14, 5, "  1.79769e+308"},
    {"dbl_max_e4", D(DBL_MAX), form::e, 14, 4, "   1.7977e+308"},
    {"dbl_max_g5", D(DBL_MAX), form::g, 12, 5, " 1.7977e+308"},
    {"dbl_max_lf", D(DBL_MAX), form::f, 0, 6, "17976931348623157" + std::string(292, '0') + ".000000"},
    {"dbl_max_f20_width40", D(-DBL_MAX), form::f, 40, 20,
     "-17976931348623157" + std::string(292, '0') + "." + std::string(20, '0')},
    // 1e300 is 1.00000000000000005250...e300.
    {"lf_1e300_width40", D(1e300), form::f, 40, 6, "10000000000000001" + std::string(284, '0') + ".000000"},
    {"lf_1e23", D(1e23), form::f, 0, 6, "99999999999999992000000.000000"},
    // Plain form near zero.
    {"lf_5e_7_below_half", D(0.0000005), form::f, 0, 6, "0.000000"},  // 4.99999999999999977e-7
    {"lf_5_1e_7", D(0.00000051), form::f, 0, 6, "0.000001"},
    {"lf_6e_7", D(0.0000006), form::f, 0, 6, "0.000001"},
    {"lf_4e_7", D(0.0000004), form::f, 0, 6, "0.000000"},
    {"lf_1_5e_6", D(0.0000015), form::f, 0, 6, "0.000002"},
    {"lf_minus_1e_9", D(-1e-9), form::f, 0, 6, "-0.000000"},
    {"f0_minus_0_4", D(-0.4), form::f, 0, 0, "-0"},
    {"lf_0_5", D(0.5), form::f, 0, 6, "0.500000"},
    {"lf_2_5", D(2.5), form::f, 0, 6, "2.500000"},
    {"lf_negative", D(-12.5), form::f, 0, 6, "-12.500000"},
    {"f_width", D(3.25), form::f, 10, 2, "      3.25"},
    {"f_width_never_cuts", D(123456.0), form::f, 3, 1, "123456.0"},
    // Zero and negative zero.
    {"zero_e5", D(0.0), form::e, 14, 5, "  0.00000e+000"},
    {"zero_e4", D(0.0), form::e, 14, 4, "   0.0000e+000"},
    {"zero_e8", D(0.0), form::e, 8, 4, "0.0000e+000"},
    {"zero_g5", D(0.0), form::g, 12, 5, "           0"},
    {"zero_lf", D(0.0), form::f, 0, 6, "0.000000"},
    {"zero_f0", D(0.0), form::f, 0, 0, "0"},
    {"minus_zero_e5", D(-0.0), form::e, 14, 5, "  0.00000e+000"},
    {"minus_zero_e4", D(-0.0), form::e, 14, 4, "   0.0000e+000"},
    {"minus_zero_e8", D(-0.0), form::e, 8, 4, "0.0000e+000"},
    {"minus_zero_g5", D(-0.0), form::g, 12, 5, "           0"},
    {"minus_zero_lf", D(-0.0), form::f, 0, 6, "0.000000"},
    {"minus_zero_f0", D(-0.0), form::f, 0, 0, "0"},
    {"e_precision0", D(2.5), form::e, 0, 0, "3e+000"},
    {"e_precision0_carry", D(9.5), form::e, 0, 0, "1e+001"},
    // Infinities.
    {"inf_e5", plus_inf, form::e, 14, 5, "  1.#INF0e+000"},
    {"inf_e4", plus_inf, form::e, 14, 4, "   1.#INFe+000"},
    {"inf_e8", plus_inf, form::e, 8, 4, "1.#INFe+000"},
    {"inf_g5", plus_inf, form::g, 12, 5, "      1.#INF"},
    {"inf_lf", plus_inf, form::f, 0, 6, "1.#INF00"},
    {"inf_f2", plus_inf, form::f, 0, 2, "1.#J"},
    {"inf_f0", plus_inf, form::f, 0, 0, "1"},
    {"inf_e1", plus_inf, form::e, 0, 1, "1.$e+000"},  // 'I' >= '5': '#' steps to '$'
    {"inf_e2", plus_inf, form::e, 0, 2, "1.#Je+000"},
    {"minus_inf_e5", minus_inf, form::e, 14, 5, " -1.#INF0e+000"},
    {"minus_inf_e4", minus_inf, form::e, 14, 4, "  -1.#INFe+000"},
    {"minus_inf_g5", minus_inf, form::g, 12, 5, "     -1.#INF"},
    {"minus_inf_lf", minus_inf, form::f, 0, 6, "-1.#INF00"},
    // The indefinite NaN carries its minus sign.
    {"ind_e5", indefinite, form::e, 14, 5, " -1.#IND0e+000"},
    {"ind_e4", indefinite, form::e, 14, 4, "  -1.#INDe+000"},
    {"ind_e8", indefinite, form::e, 8, 4, "-1.#INDe+000"},
    {"ind_g5", indefinite, form::g, 12, 5, "     -1.#IND"},
    {"ind_lf", indefinite, form::f, 0, 6, "-1.#IND00"},
    {"ind_f0", indefinite, form::f, 0, 0, "-1"},
    // Other quiet NaNs: "1#QNA" rounds on 'N'.
    {"qnan_e5", plus_qnan, form::e, 14, 5, "  1.#QNANe+000"},
    {"qnan_e4", plus_qnan, form::e, 14, 4, "   1.#QNBe+000"},
    {"qnan_g5", plus_qnan, form::g, 12, 5, "      1.#QNB"},
    {"qnan_lf", plus_qnan, form::f, 0, 6, "1.#QNAN0"},
    {"qnan_f2", plus_qnan, form::f, 0, 2, "1.#R"},
    {"qnan_payload_e4", 0x7FF8000000000001u, form::e, 14, 4, "   1.#QNBe+000"},
    {"qnan_payload_lf", 0x7FFFFFFFFFFFFFFFu, form::f, 0, 6, "1.#QNAN0"},
    {"minus_qnan_payload_e4", 0xFFF8000000000001u, form::e, 14, 4, "  -1.#QNBe+000"},
    {"minus_qnan_payload_g5", 0xFFFC000000000000u, form::g, 12, 5, "     -1.#QNB"},
    {"qnan_g6_strips_zero", plus_qnan, form::g, 0, 7, "1.#QNAN"},
    // Signalling NaNs.
    {"snan_e5", 0x7FF0000000000001u, form::e, 14, 5, "  1.#SNANe+000"},
    {"snan_e4", 0x7FF4000000000000u, form::e, 14, 4, "   1.#SNBe+000"},
    {"snan_g5", 0x7FF0000000000001u, form::g, 12, 5, "      1.#SNB"},
    {"snan_lf", 0x7FF7FFFFFFFFFFFFu, form::f, 0, 6, "1.#SNAN0"},
    {"minus_snan_e8", 0xFFF0000000000001u, form::e, 8, 4, "-1.#SNBe+000"},
    {"minus_snan_lf", 0xFFF0000000000001u, form::f, 0, 6, "-1.#SNAN0"},
};

#undef D

TEST(NumberText, FixedCases) {
  for (const text_case& c : text_cases) {
    EXPECT_EQ(call(c.f, from_bits(c.bits), c.width, c.precision), c.expected) << c.name;
    // The reference must agree with the hand-worked table as well.
    EXPECT_EQ(ref_call(c.f, ref_reduce(from_bits(c.bits)), c.width, c.precision), c.expected) << "reference: " << c.name;
  }
}

struct reduce_case {
  const char* name;
  uint64_t bits;
  const char* digits;
  int exp10;
  bool negative;
  bool special;
};

const reduce_case reduce_cases[] = {
    {"carry_free_9_99995", std::bit_cast<uint64_t>(9.99995), "99999500000000001", 0, false, false},
    {"tie_at_18th_rounds_up", std::bit_cast<uint64_t>(1000000000000000.25), "10000000000000003", 15, false, false},
    {"tenth", std::bit_cast<uint64_t>(-0.1), "10000000000000001", -1, true, false},
    {"two_step_source", std::bit_cast<uint64_t>(6.139265), "61392650000000000", 0, false, false},
    {"denorm_min", std::bit_cast<uint64_t>(4.9406564584124654e-324), "49406564584124654", -324, false, false},
    {"dbl_max", std::bit_cast<uint64_t>(DBL_MAX), "17976931348623157", 308, false, false},
    {"zero", 0, "00000000000000000", 0, false, false},
    {"minus_zero", 0x8000000000000000u, "00000000000000000", 0, false, false},
    {"minus_inf", minus_inf, "1#INF000000000000", 0, true, true},
    {"indefinite", indefinite, "1#IND000000000000", 0, true, true},
    {"qnan", plus_qnan, "1#QNAN00000000000", 0, false, true},
    {"snan", 0xFFF0000000000001u, "1#SNAN00000000000", 0, true, true},
};

TEST(NumberText, Reduce17Cases) {
  for (const reduce_case& c : reduce_cases) {
    platform::digits17 d = platform::reduce17(from_bits(c.bits));
    EXPECT_EQ(std::string(d.digits, sizeof d.digits), c.digits) << c.name;
    EXPECT_EQ(d.exp10, c.exp10) << c.name;
    EXPECT_EQ(d.negative, c.negative) << c.name;
    EXPECT_EQ(d.special, c.special) << c.name;
  }
}

TEST(NumberText, IntegerCases) {
  struct {
    long long v;
    const char* expected;
  } const cases[] = {
      {0, "0"},
      {-1, "-1"},
      {7, "7"},
      {1000000, "1000000"},
      {INT32_MAX, "2147483647"},
      {INT32_MIN, "-2147483648"},
      {INT64_MAX, "9223372036854775807"},
      {INT64_MIN, "-9223372036854775808"},
  };
  for (const auto& c : cases) EXPECT_EQ(call_int(c.v), c.expected) << c.v;
  std::mt19937_64 rng(7);
  for (int i = 0; i < 1000 * sweep_scale; ++i) {
    long long v = static_cast<long long>(rng()) >> (rng() % 64);
    EXPECT_EQ(call_int(v), std::to_string(v));
  }
}

// The reference's big-integer expansion agrees with the C library's exact
// "%.*e" for long precisions.
TEST(NumberText, ReferenceExpansionIsExact) {
  std::mt19937_64 rng(11);
  std::vector<char> buf(1200);
  for (int i = 0; i < 300 * sweep_scale; ++i) {
    double v = from_bits(rng() & 0x7FFFFFFFFFFFFFFFu);
    if (std::isnan(v) || std::isinf(v) || v == 0) continue;
    expansion x = exact_decimal(v);
    std::snprintf(buf.data(), buf.size(), "%.*e", 800, v);
    std::string s(buf.data());
    std::size_t epos = s.find('e');
    std::string digits = s.substr(0, 1) + s.substr(2, epos - 2);
    while (digits.back() == '0') digits.pop_back();
    EXPECT_EQ(digits, x.digits) << hex(to_bits(v));
    EXPECT_EQ(std::atoi(s.c_str() + epos + 1), x.exp10) << hex(to_bits(v));
  }
}

TEST(NumberText, RandomBitPatterns) {
  checker c(1);
  std::mt19937_64 rng(2);
  for (int i = 0; i < 25000 * sweep_scale; ++i) c.check(from_bits(rng()));
  // NaN and infinity patterns with every kind of payload.
  for (int i = 0; i < 500 * sweep_scale; ++i) {
    uint64_t b = rng() | 0x7FF0000000000000u;
    if (i % 7 == 0) b &= 0xFFF8000000000000u;
    if (i % 11 == 0) b &= 0xFFF0000000000000u;
    c.check(from_bits(b));
  }
}

// Numbers like instrument data: a few significant digits and a moderate
// exponent, and the doubles on either side.
TEST(NumberText, ShortDecimalsAndNeighbours) {
  checker c(3);
  std::mt19937_64 rng(4);
  char text[64];
  for (int i = 0; i < 5000 * sweep_scale; ++i) {
    int digits = 1 + static_cast<int>(rng() % 7);
    long long m = static_cast<long long>(rng() % static_cast<uint64_t>(std::pow(10.0, digits)));
    int e = static_cast<int>(rng() % 21) - 10 - digits;
    std::snprintf(text, sizeof text, "%s%llde%d", rng() % 4 == 0 ? "-" : "", m, e);
    c.check_around(parse(text));
  }
  for (double v : {1.5, 0.003, 12.5, 2069.7, 0.1, 0.2, 0.3, 1.1, 9.99995, 99999.5, 0.00009999995}) c.check_around(v);
}

// Half-way points of each conversion's last digit (they decide every
// rounding) and of the 18th digit, and their neighbours.
TEST(NumberText, HalfWayPoints) {
  checker c(5);
  std::mt19937_64 rng(6);
  char text[80];
  for (int i = 0; i < 3000 * sweep_scale; ++i) {
    int digits = 1 + static_cast<int>(rng() % 17);  // significant digits before the 5
    std::string m;
    for (int k = 0; k < digits; ++k) m += static_cast<char>('0' + (k == 0 ? 1 + rng() % 9 : rng() % 10));
    if (rng() % 3 == 0) std::fill(m.begin() + 1, m.end(), '9');
    int e = static_cast<int>(rng() % 41) - 20;
    std::snprintf(text, sizeof text, "%s.%s5e%d", m.substr(0, 1).c_str(), m.substr(1).c_str(), e);
    c.check_around(parse(text));
    // Fixed-form half-way points: k.dddddd5 and k.5
    std::snprintf(text, sizeof text, "%llu.%06llu5", static_cast<unsigned long long>(rng() % 100000),
                  static_cast<unsigned long long>(rng() % 1000000));
    c.check_around(parse(text));
    std::snprintf(text, sizeof text, "%llu.5", static_cast<unsigned long long>(rng() % 10000000));
    c.check_around(parse(text));
  }
  for (double v : {0.5, 2.5, 9.5, 99.5, 999.5, 0.95, 0.00015, 0.0000005, 0.0000015, 0.00000095, 9.9999995,
                   99999.95, 999999.5, 0.000099999, 0.00009999949999, 1e15 + 0.25, 1e15 + 0.75})
    c.check_around(v);
  for (int e = -324; e <= 308; ++e) {
    std::snprintf(text, sizeof text, "1e%d", e);
    c.check_around(parse(text));
    std::snprintf(text, sizeof text, "9.5e%d", e);
    c.check_around(parse(text));
    std::snprintf(text, sizeof text, "9.99995e%d", e);
    c.check_around(parse(text));
  }
  for (double v : {DBL_MIN, DBL_MAX, DBL_TRUE_MIN, DBL_EPSILON, 1.0}) c.check_around(v);
}

// Doubles whose exact expansion ends in a 5 at the 18th digit: m / 2^k with
// m odd and m 5^k of 18 digits.
TEST(NumberText, ExactTiesAtThe18thDigit) {
  checker c(7);
  std::mt19937_64 rng(8);
  constexpr uint64_t two53 = uint64_t{1} << 53;
  int ties = 0;
  for (int k = 2; k <= 25; ++k) {
    uint64_t p5 = 1;
    for (int i = 0; i < k; ++i) p5 *= 5;
    uint64_t lo = (100000000000000000u + p5 - 1) / p5;
    uint64_t hi = std::min<uint64_t>((1000000000000000000u - 1) / p5, two53 - 1);
    if (lo > hi) continue;
    for (int i = 0; i < 60 * sweep_scale; ++i) {
      uint64_t m = (lo + rng() % (hi - lo + 1)) | 1;
      if (m > hi) m -= 2;
      double v = std::ldexp(static_cast<double>(m), -k);
      expansion x = exact_decimal(v);
      ASSERT_EQ(x.digits.size(), 18u) << m << " / 2^" << k;
      ASSERT_EQ(x.digits.back(), '5');
      ++ties;
      c.check_around(v);
      c.check_around(-v);
    }
  }
  EXPECT_GT(ties, 500);
}

// Doubles within a hair of an 18th-digit half-way point, but not on it, so
// that 25 rounded digits show "...50000000" and cannot tell the side. With
// x = m / 2^k, k >= s, the last s digits of m 5^k are 5^s (m 5^(k-s) mod
// 2^s); choosing that residue r = 2^(s-1) + delta puts 5 10^(s-1) + delta 5^s
// there, which for s >= 28 and a small odd delta lies closer to the half-way
// point than half a unit in the 25th digit.
TEST(NumberText, NearTiesBeyondTwentyFiveDigits) {
  checker c(9);
  std::mt19937_64 rng(10);
  int near = 0;
  for (int s = 28; s <= 40; ++s) {
    uint64_t mask = (uint64_t{1} << s) - 1;
    for (int k = s; k <= s + 40; ++k) {
      uint64_t a = 1;  // 5^(k-s) mod 2^64
      for (int i = 0; i < k - s; ++i) a *= 5;
      uint64_t inv = a;  // Newton: a * inv = 1 mod 2^64
      for (int i = 0; i < 6; ++i) inv *= 2 - a * inv;
      for (int delta : {1, -1, 3, -3, 7, -7}) {
        uint64_t r = ((uint64_t{1} << (s - 1)) + static_cast<uint64_t>(static_cast<long long>(delta))) & mask;
        uint64_t m0 = (r * inv) & mask;
        uint64_t span = ((uint64_t{1} << 53) - m0) >> s;
        for (int t = 0; t < 3; ++t) {
          uint64_t m = m0 + ((span == 0 ? 0 : rng() % span) << s);
          double v = std::ldexp(static_cast<double>(m), -k);
          expansion x = exact_decimal(v);
          if (static_cast<int>(x.digits.size()) != 17 + s) continue;
          // Counted when 25 correctly rounded digits would end in 50000000.
          std::string tail = x.digits.substr(17, 9);
          if (tail.substr(0, 8) == "50000000" || (tail.substr(0, 8) == "49999999" && tail[8] >= '5')) ++near;
          c.check_around(v);
        }
      }
    }
  }
  EXPECT_GT(near, 100);
}

}  // namespace
