#include "platform/number_text.h"
#include "product/match_search.h"
#include "product/product.h"

namespace {

// Excitation amplitudes of this magnitude or less are passed over.
constexpr double amplitude_floor = 1e-50;

double magnitude(double v) { return v < 0 ? -v : v; }

// One product line, "%14.5e %14.4e \n".
void write_line(platform::text_writer& out, double fe, double p) {
  char* start = out.reserve(2 * platform::number_text_max);
  char* end = platform::put_exp(start, fe, 14, 5);
  *end++ = ' ';
  end = platform::put_exp(end, p, 14, 4);
  *end++ = ' ';
  *end++ = '\n';
  out.commit(static_cast<std::size_t>(end - start));
}

}  // namespace

void mult_tables(const func_table& response, const func_table& excitation, platform::text_writer& out,
                 product_table& prod) {
  match::response_search search(response);
  std::int32_t s = 0;  // the start index: the response index of the last match
  std::int32_t k = 0;  // the next product table entry
  for (std::int32_t i = 0; i <= excitation.last; ++i) {
    const double fe = excitation.freq[i];
    const double ae = excitation.amp[i];
    if (s > response.last || !(magnitude(ae) > amplitude_floor)) continue;
    const std::int32_t j = search.find(fe, s);
    if (j < 0) continue;
    double p;
    if (match::within_tolerance(response, j, fe)) {
      p = response.amp[j] * ae;
    } else {
      const double t = (fe - response.freq[j]) / (response.freq[j + 1] - response.freq[j]);
      const double r = (1 - t) * response.amp[j] + t * response.amp[j + 1];
      p = r * ae;
    }
    write_line(out, fe, p);
    prod.freq[k] = fe;
    prod.amp[k] = p;
    ++k;
    s = j;
  }
}
