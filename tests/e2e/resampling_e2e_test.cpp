// Whole runs with the resampling question answered: the console text and the
// product file, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "e2e/e2e_runner.h"

namespace {

// "%12.5g" of a value whose text is already short: right-aligned in 12.
std::string g12(const std::string& text) { return std::string(12 - text.size(), ' ') + text; }

struct table_stats {
  const char* points;
  const char* start;
  const char* end;
};

std::string statistics(table_stats r, table_stats e) {
  return std::string("\n\n Response Function Statistics \n") + "\n number of points   = " + r.points + " " +
         "\n starting frequency = " + g12(r.start) + "\n ending frequency   = " + g12(r.end) + " \n" +
         "\n\n Excitation Function Statistics \n" + "\n number of points   = " + e.points + " " +
         "\n starting frequency = " + g12(e.start) + "\n ending frequency   = " + g12(e.end) + " \n\n";
}

const std::string question = "\n Apply logarithmic interpolation? \n 1=yes  2=no  \n";

std::string intlog_trace(const char* fz, const char* fa, const char* nn) {
  return std::string("\n intlog \n fz=") + fz + "  fa=" + fa + "   nt=" + nn + "  \n\n nn=" + nn + " ";
}

std::string too_small(const char* fz, const char* fa, const char* nt, const char* points) {
  return std::string("\n intlog \n fz=") + fz + "  fa=" + fa + "   nt=" + nt + "  \n" +
         "\n The step is too small for the frequency range of this table: the grid would need " + points +
         " points, more than the 200000 a table holds. The table is left unchanged. \n";
}

std::string resampled(const std::string& first, const char* lasta, const std::string& second, const char* lastb) {
  return question + "\n Enter bandwidth \n" + "\n go to intlog 1\n" + first + "\n  lasta=" + lasta + "   \n" +
         "\n go to intlog 2\n" + second + "\n  lastb=" + lastb + "   \n";
}

struct resampling_run {
  const char* name;
  const char* response;
  const char* excitation;
  const char* answers;
  table_stats response_stats, excitation_stats;
  std::string dialogue;  // from the question to the last trace line of the resampling
  const char* lasta;
  const char* lastb;
  std::string product;
};

std::string expected_console(const resampling_run& r) {
  return e2e::opening() + " File: resp.txt opened. \n" + " File: exc.txt opened. \n" +
         "\n\n\n Enter the name of the output file. \n" + statistics(r.response_stats, r.excitation_stats) +
         r.dialogue + "\n reference 2 \n" + "\n  lasta=" + r.lasta + "  lastb=" + r.lastb + " \n" +
         "\n\n The output text file is: \n\n  out.txt  \n" + "\n Output simplified breakpoints \n 1=yes  2=no \n" +
         "\n Press any key to exit.\n\n";
}

const char* const three_points = "10 1\n100 10\n1000 1\n";
const char* const rising = "10 2\n400 2\n700 8\n";
// The product of the two tables as read: 10 matches, 400 and 700 lie in the
// response's segment from 100 to 1000.
const char* const product_as_read =
    "  1.00000e+001    2.0000e+000 \n"
    "  4.00000e+002    1.4000e+001 \n"
    "  7.00000e+002    3.2000e+001 \n";

const resampling_run runs[] = {
    {"both_tables_resampled_on_one_step", three_points, rising, "resp.txt exc.txt out.txt 1 100 2\n",
     {"3", "10", "1000"}, {"3", "10", "700"},
     resampled(intlog_trace("1000.000000", "10.000000", "10"), "10",
               intlog_trace("700.000000", "10.000000", "7"), "7"),
     "10", "7",
     // Both grids run 10, 110, ...; the excitation grid ends at 610 and its
     // closing (0, 0) point gives no product.
     "  1.00000e+001    2.0000e+000 \n"
     "  1.10000e+002    1.8182e+001 \n"
     "  2.10000e+002    9.5238e+000 \n"
     "  3.10000e+002    6.4516e+000 \n"
     "  4.10000e+002    5.1857e+000 \n"
     "  5.10000e+002    7.1587e+000 \n"
     "  6.10000e+002    9.3261e+000 \n"},
    {"negative_amplitude_shows_as_indefinite", "10 1\n100 -10\n1000 1\n", "10 2\n1000 2\n",
     "resp.txt\nexc.txt\nout.txt\n1\n90\n2\n", {"3", "10", "1000"}, {"2", "10", "1000"},
     resampled(intlog_trace("1000.000000", "10.000000", "12"), "12",
               intlog_trace("1000.000000", "10.000000", "12"), "12"),
     "12", "12",
     // Around the negative point every slope is the indefinite NaN; the grid
     // points on 100 and 1000 Hz keep their amplitudes.
     "  1.00000e+001   -1.#INDe+000 \n"
     "  1.00000e+002   -2.0000e+001 \n"
     "  1.90000e+002   -1.#INDe+000 \n"
     "  2.80000e+002   -1.#INDe+000 \n"
     "  3.70000e+002   -1.#INDe+000 \n"
     "  4.60000e+002   -1.#INDe+000 \n"
     "  5.50000e+002   -1.#INDe+000 \n"
     "  6.40000e+002   -1.#INDe+000 \n"
     "  7.30000e+002   -1.#INDe+000 \n"
     "  8.20000e+002   -1.#INDe+000 \n"
     "  9.10000e+002   -1.#INDe+000 \n"
     "  1.00000e+003    2.0000e+000 \n"},
    {"step_too_small_leaves_both_tables", three_points, rising, "resp.txt exc.txt out.txt 1 0.001 2\n",
     {"3", "10", "1000"}, {"3", "10", "700"},
     resampled(too_small("1000.000000", "10.000000", "990001", "990002"), "2",
               too_small("700.000000", "10.000000", "690001", "690002"), "2"),
     "2", "2", product_as_read},
    {"answer_2_declines", three_points, rising, "resp.txt exc.txt out.txt 2 2\n", {"3", "10", "1000"},
     {"3", "10", "700"}, question, "2", "2", product_as_read},
    {"answer_not_an_integer_declines", three_points, rising, "resp.txt exc.txt out.txt yes\n", {"3", "10", "1000"},
     {"3", "10", "700"}, question, "2", "2", product_as_read},
    {"empty_excitation_table_stays_empty", three_points, "", "resp.txt exc.txt out.txt 1 100 2\n",
     {"3", "10", "1000"}, {"0", "0", "0"},
     resampled(intlog_trace("1000.000000", "10.000000", "10"), "10",
               "\n intlog \n\n The table is empty; there is nothing to resample. \n", "-1"),
     "10", "-1", ""},
};

TEST(ResamplingRun, ConsoleAndProductFile) {
  for (const resampling_run& r : runs) {
    SCOPED_TRACE(r.name);
    const e2e::run_result got = e2e::run({{{"resp.txt", r.response}, {"exc.txt", r.excitation}}, r.answers, {}});
    EXPECT_EQ(got.console, expected_console(r));
    EXPECT_EQ(got.errors, "");
    EXPECT_EQ(got.status, 0);
    ASSERT_TRUE(got.has("out.txt"));
    EXPECT_EQ(got.files.at("out.txt"), r.product);
  }
}

}  // namespace
