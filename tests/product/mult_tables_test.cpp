// The product: which response value each excitation point takes, the lines
// of the product file and the entries of the product table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "e2e/e2e_runner.h"
#include "platform/text_writer.h"
#include "product/product.h"

namespace {

func_table response, excitation;
product_table product;

struct point {
  double f, a;
};

void fill(func_table& t, const std::vector<point>& pts) {
  t.last = static_cast<std::int32_t>(pts.size()) - 1;
  for (std::size_t i = 0; i < pts.size(); ++i) t.freq[i] = pts[i].f, t.amp[i] = pts[i].a;
}

// Runs the product into a fresh product table and a temporary file.
std::string multiply(const std::vector<point>& resp, const std::vector<point>& exc) {
  fill(response, resp);
  fill(excitation, exc);
  product = product_table{};
  static platform::text_writer out;
  const char* path = "mult_tables_test.out";
  EXPECT_TRUE(out.open(path));
  mult_tables(response, excitation, out, product);
  EXPECT_TRUE(out.close());
  std::string text = e2e::read_text_file(path);
  std::remove(path);
  return text;
}

std::string line(const char* f, const char* p) { return std::string(f) + " " + p + " \n"; }

TEST(MultTables, WorkedExample) {
  std::string text = multiply({{10, 2}, {20, 4}, {40, 4}},
                              {{5, 1}, {10.0005, 3}, {15, 2}, {15, 2}, {19.9995, 1}, {40, 0.5}, {50, 1}, {60, 0}});
  EXPECT_EQ(text, line("  1.00005e+001", "   6.0000e+000") + line("  1.50000e+001", "   6.0000e+000") +
                      line("  1.50000e+001", "   6.0000e+000") + line("  1.99995e+001", "   3.9999e+000") +
                      line("  4.00000e+001", "   2.0000e+000"));
  const double want_f[] = {10.0005, 15, 15, 19.9995, 40, 0};
  const double want_a[] = {6, 6, 6, (1 - (19.9995 - 10) / 10) * 2 + (19.9995 - 10) / 10 * 4, 2, 0};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(product.freq[k], want_f[k]) << k;
    EXPECT_EQ(product.amp[k], want_a[k]) << k;
  }
}

struct product_case {
  const char* name;
  std::vector<point> resp, exc;
  std::string file;
};

TEST(MultTables, Cases) {
  const double inf = std::numeric_limits<double>::infinity();
  const product_case cases[] = {
      {"empty excitation", {{10, 1}}, {}, ""},
      {"empty response", {}, {{10, 1}, {20, 2}}, ""},
      {"one response point: tolerance only", {{10, 2}}, {{9.9995, 1}, {10.0009, 1}, {10.5, 1}},
       line("  9.99950e+000", "   2.0000e+000") + line("  1.00009e+001", "   2.0000e+000")},
      {"0.0005 above a point takes it unchanged", {{10, 2}, {20, 4}}, {{10.0005, 1}}, line("  1.00005e+001", "   2.0000e+000")},
      {"amplitude guard: 0, 1e-50, -1e-50 pass over; -2 carries its sign", {{10, 2}, {20, 4}},
       {{10, 0}, {10, 1e-50}, {10, -1e-50}, {10, -2}}, line("  1.00000e+001", "  -4.0000e+000")},
      {"outside the table: no product, start index kept", {{10, 1}, {20, 1}}, {{9, 1}, {21, 1}, {15, 1}},
       line("  1.50000e+001", "   1.0000e+000")},
      {"the scan never goes back", {{10, 1}, {20, 2}, {30, 3}}, {{30, 1}, {15, 1}, {30, 2}},
       line("  3.00000e+001", "   3.0000e+000") + line("  3.00000e+001", "   6.0000e+000")},
      {"equal response frequencies: the first one", {{10, 1}, {10, 5}, {20, 2}}, {{10, 1}}, line("  1.00000e+001", "   1.0000e+000")},
      {"descending segment encloses nothing", {{20, 2}, {10, 1}}, {{15, 1}, {10, 1}}, line("  1.00000e+001", "   1.0000e+000")},
      {"points closer than the tolerance: first within it", {{10, 1}, {10.0004, 2}, {10.0008, 3}}, {{10.0007, 1}},
       line("  1.00007e+001", "   1.0000e+000")},
      {"resampled response ends in (0, 0): only near 0 Hz, product 0", {{10, 1}, {20, 2}, {0, 0}}, {{0.0005, 3}, {15, 1}},
       line("  5.00000e-004", "   0.0000e+000")},
      {"infinite response amplitude", {{10, inf}, {20, 1}}, {{10, 2}, {15, 1}},
       line("  1.00000e+001", "   1.#INFe+000") + line("  1.50000e+001", "   1.#INFe+000")},
      {"infinite excitation amplitude", {{10, 1}, {20, 1}}, {{10, -inf}}, line("  1.00000e+001", "  -1.#INFe+000")},
      {"NaN excitation amplitude gives nothing", {{10, 1}}, {{10, std::nan("")}}, ""},
      {"negative product", {{10, 0.25}}, {{10, -0.125}}, line("  1.00000e+001", "  -3.1250e-002")},
  };
  for (const product_case& c : cases) {
    EXPECT_EQ(multiply(c.resp, c.exc), c.file) << c.name;
  }
}

TEST(MultTables, RepeatedFrequencyStoresTheSameEntryTwice) {
  multiply({{10, 2}, {20, 4}}, {{12.5, 1}, {12.5, 1}});
  EXPECT_EQ(product.freq[0], product.freq[1]);
  EXPECT_EQ(product.amp[0], product.amp[1]);
  EXPECT_EQ(product.amp[0], (1 - 0.25) * 2 + 0.25 * 4);
}

}  // namespace
