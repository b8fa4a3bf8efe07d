// The breakpoint step end to end on the built program: the question, the
// name, the breakpoint file and its echo on the console byte for byte, the
// answers that skip the step, and the names that must be refused.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/e2e_runner.h"

namespace {

// A flat response matched point by point, so each product is the excitation
// amplitude: slopes 1, 2, 1, 1 on log-log axes.
const char* const response_text = "10 1\n20 1\n40 1\n80 1\n160 1\n";
const char* const excitation_text = "10 1\n20 2\n40 8\n80 16\n160 32\n";
const char* const product_text =
    "  1.00000e+001    1.0000e+000 \n"
    "  2.00000e+001    2.0000e+000 \n"
    "  4.00000e+001    8.0000e+000 \n"
    "  8.00000e+001    1.6000e+001 \n"
    "  1.60000e+002    3.2000e+001 \n";
// The first point, the two points where the slope changes, the closing point
// (entry lastb - 1); the last product point is not a breakpoint.
const char* const breakpoints_text =
    " 1.0000e+001  1.0000e+000 \n"
    " 2.0000e+001  2.0000e+000 \n"
    " 4.0000e+001  8.0000e+000 \n"
    " 8.0000e+001  1.6000e+001 \n";

const std::string question = "\n Output simplified breakpoints \n 1=yes  2=no \n";
const std::string name_prompt = "\n\n\n Enter the name of the breakpoint output file. \n";
const std::string press_any_key = "\n Press any key to exit.\n\n";

// Everything up to and including the breakpoint question, for the run above
// without resampling.
const std::string up_to_question =
    e2e::opening() + " File: r.txt opened. \n File: e.txt opened. \n" +
    "\n\n\n Enter the name of the output file. \n"
    "\n\n Response Function Statistics \n"
    "\n number of points   = 5 \n starting frequency =           10\n ending frequency   =          160 \n"
    "\n\n Excitation Function Statistics \n"
    "\n number of points   = 5 \n starting frequency =           10\n ending frequency   =          160 \n\n"
    "\n Apply logarithmic interpolation? \n 1=yes  2=no  \n"
    "\n reference 2 \n\n  lasta=4  lastb=4 \n"
    "\n\n The output text file is: \n\n  out.txt  \n" +
    question;

e2e::run_result plain_run(const std::string& answers, const char* excitation = excitation_text) {
  return e2e::run({{{"r.txt", response_text}, {"e.txt", excitation}},
                   answers,
                   [](const std::string& dir) {
                     std::filesystem::create_directory(dir + "/sub");
                     if (e2e::links_work()) e2e::make_link("r.txt", dir + "/link");
                   }});
}

// The files of a run in which no breakpoint file was made ("link" leads to
// r.txt and reads as a file of its own, where links can be made).
void expect_no_breakpoint_file(const e2e::run_result& r) {
  std::vector<std::string> names;
  for (const auto& [name, content] : r.files) names.push_back(name);
  if (e2e::links_work()) {
    EXPECT_EQ(names, (std::vector<std::string>{"e.txt", "link", "out.txt", "r.txt"}));
  } else {
    EXPECT_EQ(names, (std::vector<std::string>{"e.txt", "out.txt", "r.txt"}));
  }
}

void expect_inputs_and_product_intact(const e2e::run_result& r) {
  EXPECT_EQ(r.files.at("r.txt"), response_text);
  EXPECT_EQ(r.files.at("e.txt"), excitation_text);
  EXPECT_EQ(r.files.at("out.txt"), product_text);
}

TEST(BreakpointsE2E, FileAndConsoleByteExact) {
  const char* layouts[] = {
      "r.txt e.txt out.txt 2 1 bp.txt\n",          // answer and name on one line
      "r.txt\ne.txt\nout.txt\n2\n1\n\n  bp.txt\n",  // one per line, with an empty line
      "r.txt e.txt out.txt 2 1 bp.txt trailing words\n",
  };
  for (const char* answers : layouts) {
    SCOPED_TRACE(answers);
    e2e::run_result r = plain_run(answers);
    EXPECT_EQ(r.console, up_to_question + name_prompt + "\n" + breakpoints_text + press_any_key);
    EXPECT_EQ(r.files["bp.txt"], breakpoints_text);
    expect_inputs_and_product_intact(r);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.errors, "");
  }
}

// Each amplitude message follows the line of its point, on the console only.
TEST(BreakpointsE2E, AmplitudeMessagesOnTheConsoleOnly) {
  const char* negative_excitation = "10 -1\n20 -2\n40 -8\n80 -16\n160 -32\n";
  e2e::run_result r = plain_run("r.txt e.txt out.txt 2 1 bp.txt\n", negative_excitation);
  const std::string msg = "\n Amplitude error. \n";
  const std::string l0 = " 1.0000e+001  -1.0000e+000 \n", l1 = " 2.0000e+001  -2.0000e+000 \n",
                    l2 = " 4.0000e+001  -8.0000e+000 \n", l3 = " 8.0000e+001  -1.6000e+001 \n";
  EXPECT_EQ(r.files["bp.txt"], l0 + l1 + l2 + l3);
  const std::string tail = name_prompt + "\n" + l0 + msg + l1 + msg + l2 + msg + l3 + press_any_key;
  ASSERT_GE(r.console.size(), tail.size());
  EXPECT_EQ(r.console.substr(r.console.size() - tail.size()), tail);
  EXPECT_EQ(r.status, 0);
}

// Any answer but 1 skips the step: nothing more is asked or written.
TEST(BreakpointsE2E, AnswersOtherThanOneSkip) {
  const char* answers[] = {"2", "0", "-1", "12", "x", "x bp.txt", "2 bp.txt", ""};
  for (const char* a : answers) {
    SCOPED_TRACE(a);
    e2e::run_result r = plain_run(std::string("r.txt e.txt out.txt 2 ") + a + "\n");
    EXPECT_EQ(r.console, up_to_question + press_any_key);
    expect_no_breakpoint_file(r);
    expect_inputs_and_product_intact(r);
    EXPECT_EQ(r.status, 0);
  }
}

// A name that leads to an input or to the product file is refused before
// anything is opened; the run still ends at the final prompt, with status 1.
TEST(BreakpointsE2E, ProtectedNamesAreRefused) {
  struct refusal {
    const char* name;
    const char* reason;
  };
  const refusal cases[] = {
      {"r.txt", "it is the first input file"},
      {"e.txt", "it is the second input file"},
      {"out.txt", "it is the product file"},
      {"./out.txt", "it is the product file"},
      {"sub/../e.txt", "it is the second input file"},
      {"link", "it is the first input file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (std::string(c.name) == "link" && !e2e::links_work()) continue;  // no symbolic links here
    e2e::run_result r = plain_run(std::string("r.txt e.txt out.txt 2 1 ") + c.name + "\n");
    EXPECT_EQ(r.console, up_to_question + name_prompt + "\n Failed to create file: " + c.name + " (" + c.reason +
                             ") \n" + press_any_key);
    expect_inputs_and_product_intact(r);
    expect_no_breakpoint_file(r);
    EXPECT_EQ(r.status, 1);
  }
}

TEST(BreakpointsE2E, FilesThatCannotBeUsed) {
  struct unusable {
    std::string answers;
    std::string message;
  };
  const std::string long_name(300, 'b');
  const unusable cases[] = {
      {"1 nodir/bp.txt", "\n Failed to create file: nodir/bp.txt (" + std::string(std::strerror(ENOENT)) + ") \n"},
      {"1 sub", "\n Failed to create file: sub (" + std::string(std::strerror(EISDIR)) + ") \n"},
      {"1 " + long_name,
       "\n Failed to create file: " + long_name.substr(0, 259) + "... (the name is longer than 259 characters) \n"},
      {"1", "\n No breakpoint file was created (standard input ended before a file name). \n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers.substr(0, 20));
    e2e::run_result r = plain_run("r.txt e.txt out.txt 2 " + c.answers + "\n");
    EXPECT_EQ(r.console, up_to_question + name_prompt + c.message + press_any_key);
    expect_inputs_and_product_intact(r);
    expect_no_breakpoint_file(r);
    EXPECT_EQ(r.status, 1);
  }
}

// A write error, here one that only the final flush meets, is reported after
// the lines, and the run ends with status 1.
TEST(BreakpointsE2E, WriteErrorIsReported) {
  if (!e2e::has_full_device()) GTEST_SKIP() << "no /dev/full, a device that takes no byte";
  e2e::run_result r = plain_run("r.txt e.txt out.txt 2 1 /dev/full\n");
  EXPECT_EQ(r.console, up_to_question + name_prompt + "\n" + breakpoints_text + "\n Failed to write file: /dev/full (" +
                           std::strerror(ENOSPC) + ") \n" + press_any_key);
  expect_inputs_and_product_intact(r);
  EXPECT_EQ(r.status, 1);
}

// Resampled with step 100: the excitation (10, 1), (100, 10), (1000, 1)
// becomes 10 grid points on the two power laws and a closing (0, 0) that
// makes no product. The flat response gives products equal to the grid
// amplitudes. Breakpoints: the first point, the grid point at 110 (slope
// about 0.92 on its left, -1 on its right), and the last product point (910),
// once: its right-hand slope is ln(0) / ln(0).
TEST(BreakpointsE2E, AfterResamplingEndingInAZeroGridPoint) {
  e2e::run_result r = e2e::run({{{"r.txt", "10 1\n1000 1\n"}, {"e.txt", "10 1\n100 10\n1000 1\n"}},
                                "r.txt e.txt out.txt 1 100 1 bp.txt\n",
                                nullptr});
  const std::string intlog_trace = "\n intlog \n fz=1000.000000  fa=10.000000   nt=10  \n\n nn=10 ";
  const std::string points = " 1.0000e+001  1.0000e+000 \n 1.1000e+002  9.0909e+000 \n 9.1000e+002  1.0989e+000 \n";
  EXPECT_EQ(r.console,
            e2e::opening() + " File: r.txt opened. \n File: e.txt opened. \n" +
                "\n\n\n Enter the name of the output file. \n"
                "\n\n Response Function Statistics \n"
                "\n number of points   = 2 \n starting frequency =           10\n ending frequency   =         1000 \n"
                "\n\n Excitation Function Statistics \n"
                "\n number of points   = 3 \n starting frequency =           10\n ending frequency   =         1000 \n\n"
                "\n Apply logarithmic interpolation? \n 1=yes  2=no  \n"
                "\n Enter bandwidth \n"
                "\n go to intlog 1\n" +
                intlog_trace + "\n  lasta=10   \n" + "\n go to intlog 2\n" + intlog_trace + "\n  lastb=10   \n" +
                "\n reference 2 \n\n  lasta=10  lastb=10 \n"
                "\n\n The output text file is: \n\n  out.txt  \n" +
                question + name_prompt + "\n" + points + press_any_key);
  EXPECT_EQ(r.files["bp.txt"], points);
  EXPECT_EQ(r.status, 0);
}

}  // namespace
