// The simplified breakpoints: which product points are kept, the line text,
// the "Amplitude error." messages, and the breakpoint step's dialogue and
// file handling.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/e2e_runner.h"
#include "platform/answers.h"
#include "platform/ieee_math.h"
#include "platform/number_text.h"
#include "platform/text_writer.h"
#include "product/product.h"

namespace {

namespace fs = std::filesystem;

constexpr double inf = std::numeric_limits<double>::infinity();
const double nan_value = std::numeric_limits<double>::quiet_NaN();
const std::string amp_msg = "\n Amplitude error. \n";

// Run state of the size the program has, in static storage.
product_table prod;
double exc_freq[max_points];
func_table excitation;
platform::text_writer out;

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void spit(const std::string& path, const std::string& text) {
  std::ofstream o(path, std::ios::binary);
  o << text;
}

// Names of our own in the shared temporary folder.
std::string process_tag() {
#ifdef _WIN32
  return std::to_string(_getpid());
#else
  return std::to_string(getpid());
#endif
}

std::string line_text(double f, double a) {
  char buf[2 * platform::number_text_max + 8];
  char* p = buf;
  *p++ = ' ';
  p = platform::put_exp(p, f, 8, 4);
  *p++ = ' ';
  *p++ = ' ';
  p = platform::put_exp(p, a, 8, 4);
  *p++ = ' ';
  *p++ = '\n';
  return std::string(buf, p);
}

void clear_tables() {
  std::memset(&prod, 0, sizeof prod);
  std::memset(exc_freq, 0, sizeof exc_freq);
}

struct output {
  std::string file;
  std::string console;
};

std::string temp_path(const char* stem) {
  return (fs::path(testing::TempDir()) / (std::string(stem) + process_tag())).string();
}

// simplify_breakpoints on the static tables, file and console captured.
output run_real(std::int32_t lastb) {
  const std::string path = temp_path("breakpoints_");
  EXPECT_TRUE(out.open(path.c_str()));
  testing::internal::CaptureStdout();
  simplify_breakpoints(prod, exc_freq, lastb, out);
  output r;
  r.console = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(out.close());
  r.file = e2e::read_text_file(path);
  std::remove(path.c_str());
  return r;
}

// The selection as plainly as it can be said: each slope formed afresh from
// its own ratios, every condition tested in full at each point.
output run_reference(std::int32_t lastb) {
  output r;
  auto write = [&](std::int32_t i) {
    const std::string l = line_text(prod.freq[i], prod.amp[i]);
    r.file += l;
    r.console += l;
  };
  auto check_amp = [&](std::int32_t i) {
    if (!(prod.amp[i] > 0.0)) r.console += amp_msg;
  };
  write(0);
  check_amp(0);
  for (std::int32_t i = 1; i < lastb; ++i) {
    const double s1 = std::log(prod.amp[i] / prod.amp[i - 1]) / std::log(exc_freq[i] / exc_freq[i - 1]);
    const double s2 = std::log(prod.amp[i + 1] / prod.amp[i]) / std::log(exc_freq[i + 1] / exc_freq[i]);
    const double d = s1 - s2;
    const bool selected = d > 0.1 || d < -0.1;
    if (!selected) continue;
    if (prod.freq[i] >= prod.freq[i - 1] && prod.freq[i] > 0.0) write(i);
    check_amp(i);
  }
  if (lastb >= 2) {
    const std::int32_t c = lastb - 1;
    if (prod.freq[c] >= prod.freq[c - 1] && prod.freq[c] > 0.0) write(c);
  }
  return r;
}

constexpr int amp = -1;  // in an expected sequence: the amplitude message

// The expected output: product entries by index, amp for the message.
output expected(const std::vector<int>& seq) {
  output r;
  for (int k : seq) {
    if (k == amp) {
      r.console += amp_msg;
    } else {
      const std::string l = line_text(prod.freq[k], prod.amp[k]);
      r.file += l;
      r.console += l;
    }
  }
  return r;
}

struct selection_case {
  const char* name;
  std::int32_t lastb;
  std::vector<double> pf;  // product frequencies
  std::vector<double> pa;  // product amplitudes
  std::vector<double> ef;  // excitation frequencies; empty: the same as pf
  std::vector<int> expect;
};

void load(const selection_case& c) {
  clear_tables();
  for (std::size_t i = 0; i < c.pf.size(); ++i) prod.freq[i] = c.pf[i];
  for (std::size_t i = 0; i < c.pa.size(); ++i) prod.amp[i] = c.pa[i];
  const auto& ef = c.ef.empty() ? c.pf : c.ef;
  for (std::size_t i = 0; i < ef.size(); ++i) exc_freq[i] = ef[i];
}

const std::vector<selection_case> selection_cases = {
    {"empty_excitation_table_gives_first_point_only", -1, {10, 20, 40}, {2, 4, 1}, {}, {0}},
    {"lastb_below_minus_one_gives_first_point_only", -8, {10, 20, 40}, {-2, 4, 1}, {}, {0, amp}},
    {"one_point_negative_amplitude_is_reported", 0, {10, 20, 40}, {-3, 4, 1}, {}, {0, amp}},
    {"two_points_zero_amplitude_no_closing_point", 1, {10, 20, 40}, {0, 2, 16}, {}, {0, amp}},
    {"two_points_nan_amplitude_is_reported", 1, {10, 20, 40}, {nan_value, 2, 16}, {}, {0, amp}},
    {"no_product_point_at_all", 5, {}, {}, {10, 20, 30, 40, 50, 60}, {0, amp}},
    {"one_power_law_gives_first_and_entry_before_last",
     4, {10, 20, 40, 80, 160}, {300, 1200, 4800, 19200, 76800}, {}, {0, 3}},
    {"one_power_law_odd_exponent", 5, {3, 7, 11, 13, 17, 23},
     {0.5 * 3 * std::sqrt(3.0), 0.5 * 7 * std::sqrt(7.0), 0.5 * 11 * std::sqrt(11.0),
      0.5 * 13 * std::sqrt(13.0), 0.5 * 17 * std::sqrt(17.0), 0.5 * 23 * std::sqrt(23.0)},
     {}, {0, 4}},
    // Resampled excitation ending in (0, 0): its product entry stays 0.
    {"resampled_ending_in_one_zero_grid_point", 4, {10, 20, 30, 40, 0}, {10, 20, 30, 40, 0},
     {10, 20, 30, 40, 0}, {0, 3}},
    {"resampled_ending_in_two_zero_grid_points", 5, {10, 20, 30, 40, 0, 0}, {10, 20, 30, 40, 0, 0},
     {10, 20, 30, 40, 0, 0}, {0}},
    {"fewer_products_than_excitation_points_aligned", 4, {10, 20, 30}, {10, 20, 30},
     {10, 20, 30, 40, 50}, {0, 2}},
    // The excitation point at 15 made no product: slopes use the frequencies
    // at the same indices, which now belong to other points.
    {"fewer_products_slopes_from_excitation_indices", 4, {10, 20, 30}, {10, 20, 30},
     {10, 15, 20, 30, 40}, {0, 1, 2}},
    {"zero_amplitude_between_positives", 4, {10, 20, 30, 40, 50}, {1, 2, 0, 4, 5}, {},
     {0, 1, 2, amp, 3, 3}},
    {"negative_amplitude_between_positives", 5, {10, 20, 30, 40, 50, 60}, {1, 2, -3, 4, 5, 6}, {},
     {0, 4}},
    {"negatives_around_a_negative", 4, {1, 2, 4, 8, 16}, {-1, -2, -8, -16, -32}, {},
     {0, amp, 1, amp, 2, amp, 3}},
    {"equal_neighbouring_excitation_frequencies", 4, {10, 20, 20, 40, 80}, {1, 2, 3, 6, 12}, {},
     {0, 1, 2, 3}},
    {"two_infinite_slopes_of_one_sign_fail", 4, {10, 20, 30, 40, 50}, {1, 2, 4, 8, 16},
     {10, 20, 20, 20, 40}, {0, 1, 3, 3}},
    {"two_infinite_slopes_of_opposite_signs_pass", 4, {10, 20, 30, 40, 50}, {1, 2, 4, 2, 4},
     {10, 20, 20, 20, 40}, {0, 1, 2, 3, 3}},
    {"selected_point_whose_frequency_falls", 4, {10, 20, 15, 80, 160}, {1, 2, 8, 16, 32},
     {10, 20, 40, 80, 160}, {0, 1, 3}},
    {"selected_point_at_zero_frequency_still_tested", 4, {10, 20, 0, 80, 160},
     {-1, -2, -8, -16, -32}, {10, 20, 40, 80, 160}, {0, amp, 1, amp, amp, 3}},
    {"selected_point_at_negative_frequency_still_tested", 4, {10, 20, -40, 80, 160},
     {-1, -2, -8, -16, -32}, {10, 20, 40, 80, 160}, {0, amp, 1, amp, amp, 3}},
    {"closing_point_with_falling_frequency", 3, {10, 20, 5, 80}, {1, 2, 4, 8},
     {10, 20, 40, 80}, {0}},
    {"closing_point_at_zero_frequency_after_negative", 2, {-30, 0, 40}, {1, 2, 4}, {10, 20, 40},
     {0}},
    {"closing_point_equal_frequency_is_written", 2, {10, 10, 40}, {1, 2, 4}, {10, 20, 40}, {0, 1}},
    {"closing_point_amplitude_not_tested", 2, {10, 20, 40}, {1, -2, -4}, {}, {0, 1}},
    {"repeated_closing_line", 3, {1, 2, 4, 8}, {1, 2, 8, 16}, {}, {0, 1, 2, 2}},
    {"repeated_closing_line_with_message_between", 3, {1, 2, 4, 8}, {-1, -2, -8, -16}, {},
     {0, amp, 1, amp, 2, amp, 2}},
    {"entry_lastb_is_never_written", 3, {1, 2, 4, 8}, {1, 2, 8, 1000}, {}, {0, 1, 2, 2}},
    {"infinite_amplitude_gives_nan_and_infinite_slopes", 4, {10, 20, 40, 80, 160},
     {1, 2, inf, 8, 16}, {}, {0, 1, 2, 3, 3}},
};

TEST(SimplifyBreakpoints, SelectionCases) {
  for (const auto& c : selection_cases) {
    SCOPED_TRACE(c.name);
    load(c);
    const output want = expected(c.expect);
    const output got = run_real(c.lastb);
    EXPECT_EQ(got.file, want.file);
    EXPECT_EQ(got.console, want.console);
    const output ref = run_reference(c.lastb);
    EXPECT_EQ(ref.file, want.file);
    EXPECT_EQ(ref.console, want.console);
  }
}

TEST(SimplifyBreakpoints, LineText) {
  clear_tables();
  prod.freq[0] = 12.5;
  prod.amp[0] = 0.003;
  EXPECT_EQ(run_real(-1).file, " 1.2500e+001  3.0000e-003 \n");

  prod.freq[0] = 10;
  prod.amp[0] = -0.03125;
  output r = run_real(0);
  EXPECT_EQ(r.file, " 1.0000e+001  -3.1250e-002 \n");
  EXPECT_EQ(r.console, " 1.0000e+001  -3.1250e-002 \n\n Amplitude error. \n");

  clear_tables();
  r = run_real(3);
  EXPECT_EQ(r.file, " 0.0000e+000  0.0000e+000 \n");
  EXPECT_EQ(r.console, " 0.0000e+000  0.0000e+000 \n\n Amplitude error. \n");
}

// A slope difference of exactly 0.1: one slope is 0 (equal amplitudes) and
// the other ln 2 / ln q, with q found so that the quotient is the double 0.1.
// The largest q below it gives a quotient just above 0.1.
TEST(SimplifyBreakpoints, SlopeDifferenceOfExactlyOneTenth) {
  const double ln2 = platform::ln(2.0);
  double exact = 0, above = 0;
  double q = 1024.0;
  for (int k = 0; k < 2000; ++k) q = std::nextafter(q, 0.0);
  for (int k = 0; k < 4000 && exact == 0; ++k, q = std::nextafter(q, 2000.0)) {
    const double s = ln2 / platform::ln(q);
    if (s > 0.1) above = q;
    if (s == 0.1) exact = q;
    if (s < 0.1) break;
  }
  ASSERT_NE(exact, 0.0) << "no q near 1024 gives exactly 0.1";
  ASSERT_NE(above, 0.0);
  ASSERT_EQ(std::fabs(ln2 / platform::ln(exact) - 0.0), 0.1);
  ASSERT_GT(std::fabs(ln2 / platform::ln(above) - 0.0), 0.1);

  struct threshold_case {
    const char* name;
    double q;
    bool mirrored;  // the 0.1 slope on the right of entry 1 instead of its left
    std::vector<int> expect;
  };
  const threshold_case cases[] = {
      {"left_slope_exactly_one_tenth_above_zero", exact, false, {0, 2}},
      {"left_slope_just_above_one_tenth", above, false, {0, 1, 2}},
      {"right_slope_exactly_one_tenth_both_sides", exact, true, {0, 2}},
      {"right_slope_just_above_one_tenth_both_sides", above, true, {0, 1, 2, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    clear_tables();
    const double ef[4] = {1, c.mirrored ? 2 : c.q, c.mirrored ? 2 * c.q : 2 * c.q, 4 * c.q};
    const double pa[4] = {1, c.mirrored ? 1.0 : 2.0, 2, 2};
    for (int i = 0; i < 4; ++i) {
      exc_freq[i] = ef[i];
      prod.freq[i] = ef[i];
      prod.amp[i] = pa[i];
    }
    const output want = expected(c.expect);
    const output got = run_real(3);
    EXPECT_EQ(got.file, want.file);
    EXPECT_EQ(got.console, want.console);
    const output ref = run_reference(3);
    EXPECT_EQ(ref.file, want.file);
    EXPECT_EQ(ref.console, want.console);
  }
}

// Random tables, mostly piecewise power laws whose slope changes by about
// 0.1, with zeros, negatives, NaNs, infinities, repeats and falls mixed in.
void fill_random(std::mt19937_64& rng, std::int32_t n) {
  auto pick = [&](int k) { return static_cast<int>(rng() % static_cast<unsigned>(k)); };
  auto unit = [&] { return std::uniform_real_distribution<double>(0.0, 1.0)(rng); };
  clear_tables();
  const double starts[] = {0.5, 1, 10, 57, 0, -1};
  double f = starts[pick(6)];
  double a = pick(2) == 0 ? 1.0 : unit() * 100;
  double s = unit() * 4 - 2;
  const double deltas[] = {0, 0, 0, 0.1, -0.1, 0.05, 0.2, -0.3, 0.0999999, 0.1000001, 1e-17};
  for (std::int32_t i = 0; i < n; ++i) {
    if (i > 0) {
      const int how = pick(20);
      double nf = how == 0 ? f : how == 1 ? f * 0.5 : how == 2 ? 0 : f + unit() * 10;
      if (f <= 0 && how > 2) nf = 1 + unit();
      s += deltas[pick(11)];
      if (s > 3 || s < -3) s = 0;
      const double r = nf / f;
      a = r > 0 ? a * std::pow(r, s) : a * 1.5;
      if (!(std::fabs(a) > 1e-200 && std::fabs(a) < 1e200)) a = 1;
      f = nf;
    }
    exc_freq[i] = f;
    double v = a;
    switch (pick(40)) {
      case 0: v = 0; break;
      case 1: v = -a; break;
      case 2: v = nan_value; break;
      case 3: v = inf; break;
      case 4: a = -a; v = a; break;  // a run of negatives
      default: break;
    }
    prod.freq[i] = f;
    prod.amp[i] = v;
  }
  // Misalign: some excitation points made no product, so the product table
  // is the remaining points shifted down and zeros after them.
  if (pick(3) == 0) {
    std::int32_t k = 0;
    for (std::int32_t i = 0; i < n; ++i) {
      if (pick(5) == 0) continue;
      prod.freq[k] = prod.freq[i];
      prod.amp[k] = prod.amp[i];
      ++k;
    }
    for (std::int32_t i = k; i < n; ++i) prod.freq[i] = prod.amp[i] = 0;
  }
  // Now and then a product frequency that falls or is not positive.
  if (pick(4) == 0 && n > 0) prod.freq[pick(n)] = pick(2) == 0 ? 0.0 : -5.0;
}

TEST(SimplifyBreakpoints, AgreesWithReferenceOnRandomTables) {
  std::mt19937_64 rng(20080122);
  for (int round = 0; round < 3000; ++round) {
    const auto n = static_cast<std::int32_t>(rng() % 60);
    fill_random(rng, n);
    const auto lastb = static_cast<std::int32_t>(rng() % static_cast<unsigned>(n + 5)) - 3;
    SCOPED_TRACE("round " + std::to_string(round) + " lastb " + std::to_string(lastb));
    const output got = run_real(lastb);
    const output ref = run_reference(lastb);
    ASSERT_EQ(got.file, ref.file);
    ASSERT_EQ(got.console, ref.console);
  }
}

TEST(SimplifyBreakpoints, AgreesWithReferenceOnFullTable) {
  std::mt19937_64 rng(7);
  fill_random(rng, max_points);
  const output got = run_real(max_points - 1);
  const output ref = run_reference(max_points - 1);
  EXPECT_GT(got.file.size(), platform::text_writer::buffer_size);  // the buffer was flushed on the way
  EXPECT_EQ(got.file, ref.file);
  EXPECT_EQ(got.console, ref.console);
}

// The breakpoint step, with the answers taken from a file and
// the run's files in a fresh folder that is the working directory.
class BreakpointStep : public testing::Test {
 protected:
  void SetUp() override {
    old_dir_ = fs::current_path();
    dir_ = fs::path(testing::TempDir()) / ("breakpoint_step_" + process_tag());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "sub");
    fs::current_path(dir_);
    spit("in1.txt", "10 1\n20 2\n40 4\n");
    spit("in2.txt", "10 1\n20 1\n40 2\n");
    spit("prod.txt", "  1.00000e+001    1.0000e+000 \n");
    if (e2e::links_work()) e2e::make_link("in1.txt", "link_in1");
    fs::create_hard_link("prod.txt", "hard_prod");
    fixtures_ = listing();

    clear_tables();
    const double f[3] = {10, 20, 40};
    const double a[3] = {1, 2, 8};
    for (int i = 0; i < 3; ++i) {
      excitation.freq[i] = f[i];
      excitation.amp[i] = a[i];
      prod.freq[i] = f[i];
      prod.amp[i] = a[i];
    }
    excitation.last = 2;
    lines_ = line_text(10, 1) + line_text(20, 2) + line_text(20, 2);
  }
  void TearDown() override {
    fs::current_path(old_dir_);
    fs::remove_all(dir_);
  }

  std::vector<std::string> listing() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  struct step_result {
    bool ok;
    std::string console;
    std::string name;     // the name buffer afterwards
    std::string pending;  // the next word left on standard input
  };

  step_result run_step(const std::string& answers, std::size_t cap = 260) {
    const std::string answers_path = (dir_.parent_path() / ("answers_" + process_tag())).string();
    spit(answers_path, answers);
    std::FILE* answers_file = std::fopen(answers_path.c_str(), "rb");
    EXPECT_NE(answers_file, nullptr);
    platform::answers_from(answers_file);
    std::vector<char> name(cap + 1, '\0');
    std::strcpy(name.data(), std::string("prod.txt").substr(0, cap > 0 ? cap - 1 : 0).c_str());
    const protected_files keep = {{"in1.txt", "in2.txt", "prod.txt"}};
    testing::internal::CaptureStdout();
    step_result r;
    r.ok = breakpoint_step(prod, excitation, name.data(), cap, out, keep);
    r.console = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(out.is_open());
    r.name = name.data();
    char word[64] = "";
    if (platform::read_word(word, sizeof word) == platform::word_status::ok) r.pending = word;
    platform::answers_from(nullptr);
    std::fclose(answers_file);
    std::remove(answers_path.c_str());
    return r;
  }

  fs::path old_dir_, dir_;
  std::vector<std::string> fixtures_;
  std::string lines_;
};

const std::string question = "\n Output simplified breakpoints \n 1=yes  2=no \n";
const std::string name_prompt = "\n\n\n Enter the name of the breakpoint output file. \n";

std::string create_failure(const std::string& name, const std::string& reason) {
  return "\n Failed to create file: " + name + " (" + reason + ") \n";
}

TEST_F(BreakpointStep, Cases) {
  struct step_case {
    std::string name;
    std::string answers;
    std::size_t cap;
    bool ok;
    bool asked;            // the name prompt is printed
    bool wrote;            // "\n" and the lines are printed
    std::string message;   // what follows on the console
    std::string created;   // the breakpoint file that now exists
    std::string pending;   // the next word still on standard input
  };
  const std::string long_name(260, 'a');
  const std::vector<step_case> cases = {
      {"answer_2_skips", "2\n", 260, true, false, false, "", "", ""},
      {"answer_0_skips", "0\n", 260, true, false, false, "", "", ""},
      {"answer_minus_1_skips", "-1\n", 260, true, false, false, "", "", ""},
      {"answer_12_skips", "12\n", 260, true, false, false, "", "", ""},
      {"answer_plus_1_is_yes", "+1 bp.txt\n", 260, true, true, true, "", "bp.txt", ""},
      {"answer_not_an_integer_is_no_and_stays_pending", "x\n", 260, true, false, false, "", "", "x"},
      {"answer_2_leaves_the_name_pending", "2 bp.txt\n", 260, true, false, false, "", "", "bp.txt"},
      {"end_of_input_at_the_question_is_no", "", 260, true, false, false, "", "", ""},
      {"answer_and_name_on_one_line", "1 bp.txt\n", 260, true, true, true, "", "bp.txt", ""},
      {"answer_and_name_on_two_lines", "1\n\n  bp.txt\n", 260, true, true, true, "", "bp.txt", ""},
      {"name_with_blanks_gives_its_first_word", "1 two words\n", 260, true, true, true, "", "two", "words"},
      {"end_of_input_at_the_name", "1\n  \n", 260, false, true, false,
       "\n No breakpoint file was created (standard input ended before a file name). \n", "", ""},
      {"name_too_long", "1 " + long_name + "\n", 260, false, true, false,
       "\n Failed to create file: " + long_name.substr(0, 259) +
           "... (the name is longer than 259 characters) \n",
       "", ""},
      {"name_of_cap_minus_1_characters_fits", "1 abcdefg\n", 8, true, true, true, "", "abcdefg", ""},
      {"name_of_cap_characters_is_refused", "1 abcdefgh next\n", 8, false, true, false,
       "\n Failed to create file: abcdefg... (the name is longer than 7 characters) \n", "", "next"},
      {"first_input_refused", "1 in1.txt\n", 260, false, true, false,
       create_failure("in1.txt", "it is the first input file"), "", ""},
      {"second_input_through_another_path_refused", "1 ./in2.txt\n", 260, false, true, false,
       create_failure("./in2.txt", "it is the second input file"), "", ""},
      {"product_file_refused", "1 prod.txt\n", 260, false, true, false,
       create_failure("prod.txt", "it is the product file"), "", ""},
      {"product_file_through_a_folder_refused", "1 sub/../prod.txt\n", 260, false, true, false,
       create_failure("sub/../prod.txt", "it is the product file"), "", ""},
      {"product_file_through_a_hard_link_refused", "1 hard_prod\n", 260, false, true, false,
       create_failure("hard_prod", "it is the product file"), "", ""},
      {"first_input_through_a_symbolic_link_refused", "1 link_in1\n", 260, false, true, false,
       create_failure("link_in1", "it is the first input file"), "", ""},
      {"first_input_by_its_full_path_refused", "1 " + (dir_ / "in1.txt").string() + "\n", 260, false, true,
       false, create_failure((dir_ / "in1.txt").string(), "it is the first input file"), "", ""},
      {"missing_folder", "1 nodir/bp.txt\n", 260, false, true, false,
       create_failure("nodir/bp.txt", std::strerror(ENOENT)), "", ""},
      {"name_of_a_folder", "1 sub\n", 260, false, true, false, create_failure("sub", std::strerror(EISDIR)),
       "", ""},
      {"write_error_is_reported", "1 /dev/full\n", 260, false, true, true,
       "\n Failed to write file: /dev/full (" + std::string(std::strerror(ENOSPC)) + ") \n", "", ""},
  };
  const std::string in1 = slurp("in1.txt"), in2 = slurp("in2.txt"), product = slurp("prod.txt");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.answers.find("/dev/full") != std::string::npos && !e2e::has_full_device()) continue;
    if (c.answers.find("link_in1") != std::string::npos && !e2e::links_work()) continue;  // no symbolic links here
    const step_result r = run_step(c.answers, c.cap);
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.console, question + (c.asked ? name_prompt : "") + (c.wrote ? "\n" + lines_ : "") + c.message);
    EXPECT_EQ(r.pending, c.pending);
    if (!c.created.empty()) {
      EXPECT_EQ(r.name, c.created);
      EXPECT_EQ(e2e::read_text_file(c.created), lines_);
    }
    if (!c.asked) {
      EXPECT_EQ(r.name, "prod.txt");  // a skipped step leaves the buffer alone
    }
    std::vector<std::string> want = fixtures_;
    if (!c.created.empty()) want.push_back(c.created);
    std::sort(want.begin(), want.end());
    EXPECT_EQ(listing(), want);
    EXPECT_EQ(slurp("in1.txt"), in1);
    EXPECT_EQ(slurp("in2.txt"), in2);
    EXPECT_EQ(slurp("prod.txt"), product);
    if (!c.created.empty()) fs::remove(c.created);
  }
}

// End of input at the name leaves the buffer as it was, with the product
// file's name in it, and that file is not touched.
TEST_F(BreakpointStep, EndOfInputKeepsTheProductName) {
  const step_result r = run_step("1");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.name, "prod.txt");
  EXPECT_EQ(slurp("prod.txt"), "  1.00000e+001    1.0000e+000 \n");
}

}  // namespace
