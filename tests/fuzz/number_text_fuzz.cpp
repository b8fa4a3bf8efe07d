// Number text on arbitrary 64-bit patterns: every conversion the program
// writes, held against the slow formatter that works from the exact decimal
// expansion, and the 17-digit reduction itself.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/number_text.h"
#include "reference.h"

namespace {

[[noreturn]] void mismatch(std::uint64_t bits, const char* conv, const std::string& got, const std::string& want) {
  std::fprintf(stderr, "bits %016llx %s: got \"%s\", want \"%s\"\n", static_cast<unsigned long long>(bits), conv,
               got.c_str(), want.c_str());
  std::abort();
}

enum class form { exp, fixed, general };
struct conversion {
  const char* name;
  form kind;
  int width, precision;
};
// What the product file, the breakpoint file and the console use.
constexpr conversion conversions[] = {
    {"%14.5e", form::exp, 14, 5},    {"%14.4e", form::exp, 14, 4}, {"%8.4e", form::exp, 8, 4},
    {"%12.5g", form::general, 12, 5}, {"%lf", form::fixed, 0, 6},   {"%.0f", form::fixed, 0, 0},
};

void check(std::uint64_t bits) {
  double v;
  std::memcpy(&v, &bits, sizeof v);

  ref::reduced want = ref::reduce(bits);
  platform::digits17 got = platform::reduce17(v);
  if (std::string(got.digits, 17) != want.r || got.exp10 != want.x || got.negative != want.negative)
    mismatch(bits, "reduce17", std::string(got.digits, 17) + " e" + std::to_string(got.exp10),
             want.r + " e" + std::to_string(want.x));

  for (const conversion& c : conversions) {
    // A heap block of exactly the documented size, so that writing past it
    // is caught.
    std::unique_ptr<char[]> out(new char[platform::number_text_max]);
    char* end = nullptr;
    std::string expected;
    switch (c.kind) {
      case form::exp:
        end = platform::put_exp(out.get(), v, c.width, c.precision);
        expected = ref::exp_text(bits, c.width, c.precision);
        break;
      case form::fixed:
        end = platform::put_fixed(out.get(), v, c.width, c.precision);
        expected = ref::fixed_text(bits, c.width, c.precision);
        break;
      case form::general:
        end = platform::put_general(out.get(), v, c.width, c.precision);
        expected = ref::general_text(bits, c.width, c.precision);
        break;
    }
    std::string text(out.get(), static_cast<std::size_t>(end - out.get()));
    if (text != expected) mismatch(bits, c.name, text, expected);
  }

  char buf[24];
  long long i = static_cast<long long>(bits);
  std::string text(buf, static_cast<std::size_t>(platform::put_int(buf, i) - buf));
  if (text != std::to_string(i)) mismatch(bits, "%ld", text, std::to_string(i));
}

}  // namespace

// The first 8 bytes are the bit pattern, in the machine's byte order; a
// shorter input is padded with zero bytes. (Run with -max_len=8.)
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint8_t b[8] = {};
  std::memcpy(b, data, size < 8 ? size : 8);
  std::uint64_t bits;
  std::memcpy(&bits, b, sizeof bits);
  check(bits);
  return 0;
}
