// The whole run without resampling or breakpoints, end to end on the built
// program: the dialogue and the product file, byte for byte, and the runs
// that must stop or refuse rather than lose a file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/dialogue.h"
#include "e2e/e2e_runner.h"

namespace {

using namespace e2e;

std::string closing(const std::string& output) {
  return product_named(output) + breakpoint_question + press_any_key;
}

const std::string worked_console = e2e::opening() + opened("r.txt", "e.txt") +
                                   statistics("3", "          10", "          40", "8", "           5", "          60") +
                                   declined_resampling + trace("2", "7") + closing("out.txt");

e2e::run_result worked_run(const std::string& answers) {
  return e2e::run({{{"r.txt", response_text}, {"e.txt", excitation_text}}, answers, nullptr});
}

TEST(RunE2E, WorkedExampleByteExact) {
  e2e::run_result r = worked_run("r.txt\ne.txt\nout.txt\n2\n2\n");
  EXPECT_EQ(r.console, worked_console);
  EXPECT_EQ(r.files["out.txt"], worked_product);
  EXPECT_EQ(r.files["r.txt"], response_text);
  EXPECT_EQ(r.files["e.txt"], excitation_text);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.errors, "");
}

// Answers are items in one stream: all on one line, or with empty lines and
// blanks between them, they read the same.
TEST(RunE2E, AnswersAreItemsNotLines) {
  const char* layouts[] = {
      "r.txt e.txt out.txt 2 2",
      "\n\n\nr.txt\n\n\t e.txt\r\n\n  out.txt\n\n2\n\n2\n",
      "r.txt e.txt\nout.txt 2\n2 leftover words are never read\n",
  };
  for (const char* answers : layouts) {
    e2e::run_result r = worked_run(answers);
    EXPECT_EQ(r.console, worked_console) << answers;
    EXPECT_EQ(r.files["out.txt"], worked_product) << answers;
  }
}

// A choice that is not an integer means no; its text stays pending and
// answers the next question too.
TEST(RunE2E, ANonIntegerChoiceMeansNo) {
  e2e::run_result r = worked_run("r.txt e.txt out.txt yes");
  EXPECT_EQ(r.console, worked_console);
  EXPECT_EQ(r.status, 0);
}

TEST(RunE2E, FailedFirstOpenStopsAfterBothNames) {
  e2e::run_result r = worked_run("missing.txt e.txt out.txt 2 2\n");
  EXPECT_EQ(r.console, e2e::opening() + "\n Failed to open file: missing.txt \n" + press_any_key);
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(r.has("out.txt"));
}

TEST(RunE2E, FailedSecondOpenAfterTheFirstIsReported) {
  e2e::run_result r = worked_run("r.txt missing.txt out.txt\n");
  EXPECT_EQ(r.console, e2e::opening() + " File: r.txt opened. \n" + "\n Failed to open file: missing.txt \n" + press_any_key);
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(r.has("out.txt"));
}

TEST(RunE2E, ADirectoryIsNotAnInputFile) {
  e2e::run_result r = e2e::run({{{"e.txt", excitation_text}}, "sub e.txt out.txt\n", [](const std::string& dir) {
                                  std::filesystem::create_directory(dir + "/sub");
                                }});
  EXPECT_EQ(r.console, e2e::opening() + "\n Failed to open file: sub \n" + press_any_key);
  EXPECT_EQ(r.status, 1);
}

// Standard input that ends early: names left empty fail to open or create.
TEST(RunE2E, StandardInputEndingEarly) {
  e2e::run_result none = worked_run("");
  EXPECT_EQ(none.console, e2e::opening() + "\n Failed to open file:  \n" + press_any_key);
  EXPECT_EQ(none.status, 1);

  e2e::run_result one = worked_run("r.txt");
  EXPECT_EQ(one.console, e2e::opening() + " File: r.txt opened. \n\n Failed to open file:  \n" + press_any_key);
  EXPECT_EQ(one.status, 1);

  e2e::run_result two = worked_run("r.txt e.txt");
  EXPECT_EQ(two.console, e2e::opening() + opened("r.txt", "e.txt") + "\n\n\n Enter the name of the output file. \n" +
                             "\n Failed to create file:  (No such file or directory) \n" + press_any_key);
  EXPECT_EQ(two.status, 1);

  // After the output name, the choices read nothing and mean no.
  e2e::run_result three = worked_run("r.txt e.txt out.txt");
  EXPECT_EQ(three.console, worked_console);
  EXPECT_EQ(three.files["out.txt"], worked_product);
  EXPECT_EQ(three.status, 0);
}

TEST(RunE2E, TablesOfThreeAndFivePoints) {
  e2e::run_result r = e2e::run({{{"a", "1 1 2 2 1000000 3"}, {"b", "0.5 1\n1 1\n2 1\n3 1\n123456 1\n"}}, "a b o 2 2", nullptr});
  EXPECT_EQ(r.console, e2e::opening() + opened("a", "b") +
                           statistics("3", "           1", "      1e+006", "5", "         0.5", " 1.2346e+005") +
                           declined_resampling + trace("2", "4") + closing("o"));
  EXPECT_EQ(r.files["o"],
            "  1.00000e+000    1.0000e+000 \n"
            "  2.00000e+000    2.0000e+000 \n"
            "  3.00000e+000    2.0000e+000 \n"
            "  1.23456e+005    2.1235e+000 \n");
}

TEST(RunE2E, EmptyResponseAndHeaderWord) {
  const std::string empty_stats = statistics("0", "           0", "           0", "8", "           5", "          60");
  e2e::run_result empty = e2e::run({{{"r", ""}, {"e.txt", excitation_text}}, "r e.txt o 2 2", nullptr});
  EXPECT_EQ(empty.console, e2e::opening() + opened("r", "e.txt") + empty_stats + declined_resampling +
                               trace("-1", "7") + closing("o"));
  EXPECT_EQ(empty.files["o"], "");
  EXPECT_EQ(empty.status, 0);

  e2e::run_result header =
      e2e::run({{{"r", "Frequency Amplitude\n10 2\n20 4\n"}, {"e.txt", excitation_text}}, "r e.txt o 2 2", nullptr});
  EXPECT_EQ(header.console, empty.console);
  EXPECT_EQ(header.files["o"], "");
}

TEST(RunE2E, ReadingStopsAtTwoHundredThousandPoints) {
  std::string big;
  for (int i = 0; i < 200001; ++i) big += std::to_string(i + 1) + " 1\n";
  e2e::run_result r = e2e::run({{{"r", big}, {"e", big}}, "r e o 2 2", nullptr});
  EXPECT_EQ(r.console, e2e::opening() + opened("r", "e") +
                           statistics("200000", "           1", "      2e+005", "200000", "           1", "      2e+005") +
                           declined_resampling + trace("199999", "199999") + closing("o"));
  const std::string& o = r.files["o"];
  EXPECT_EQ(o.size(), 200000u * 31u);
  EXPECT_EQ(o.substr(o.size() - 31), "  2.00000e+005    1.0000e+000 \n");
}

// Names longer than the 259 characters a name buffer holds are read whole
// and never used.
TEST(RunE2E, OverlongNames) {
  const std::string longname(300, 'n');
  e2e::run_result in = worked_run(longname + " e.txt out.txt\n");
  EXPECT_EQ(in.console, e2e::opening() + "\n Failed to open file: " + longname.substr(0, 259) + "... \n" + press_any_key);
  EXPECT_EQ(in.status, 1);

  e2e::run_result out = worked_run("r.txt e.txt " + longname + " 2 2\n");
  EXPECT_EQ(out.console, e2e::opening() + opened("r.txt", "e.txt") + "\n\n\n Enter the name of the output file. \n" +
                             "\n Failed to create file: " + longname.substr(0, 259) +
                             " (the name is longer than 259 characters) \n" + press_any_key);
  EXPECT_EQ(out.status, 1);
  EXPECT_EQ(out.files.size(), 2u);
}

// A product file that would empty an input file is refused before anything
// is emptied, by any name that leads to it.
TEST(RunE2E, ProductFileNeverReplacesAnInput) {
  std::vector<const char*> names = {"r.txt", "e.txt", "./r.txt", "sub/../e.txt", "link"};
#ifdef _WIN32
  // Other spellings that Windows takes for the same file.
  names.insert(names.end(), {"R.TXT", "r.txt.", ".\\sub\\..\\e.txt"});
#endif
  for (const char* name : names) {
    if (std::string(name) == "link" && !e2e::links_work()) continue;  // no symbolic links here
    e2e::run_result r = e2e::run({{{"r.txt", response_text}, {"e.txt", excitation_text}},
                                  std::string("r.txt e.txt ") + name + " 2 2\n", [](const std::string& dir) {
                                    std::filesystem::create_directory(dir + "/sub");
                                    if (e2e::links_work()) e2e::make_link("r.txt", dir + "/link");
                                  }});
    EXPECT_EQ(r.console, e2e::opening() + opened("r.txt", "e.txt") + "\n\n\n Enter the name of the output file. \n" +
                             "\n Failed to create file: " + name + " (it is one of the input files) \n" + press_any_key)
        << name;
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_EQ(r.files["r.txt"], response_text) << name;
    EXPECT_EQ(r.files["e.txt"], excitation_text) << name;
  }
}

TEST(RunE2E, ProductFileThatCannotBeCreated) {
  e2e::run_result r = worked_run("r.txt e.txt nodir/out.txt 2 2\n");
  EXPECT_EQ(r.console, e2e::opening() + opened("r.txt", "e.txt") + "\n\n\n Enter the name of the output file. \n" +
                           "\n Failed to create file: nodir/out.txt (No such file or directory) \n" + press_any_key);
  EXPECT_EQ(r.status, 1);
}

// Write errors are seen, also those that only the close reveals, and the
// run goes on to its end with status 1.
TEST(RunE2E, ProductFileWriteErrors) {
  if (!e2e::has_full_device()) GTEST_SKIP() << "no /dev/full, a device that takes no byte";
  e2e::run_result r = worked_run("r.txt e.txt /dev/full 2 2\n");
  const std::string before = e2e::opening() + opened("r.txt", "e.txt") +
                             statistics("3", "          10", "          40", "8", "           5", "          60") +
                             declined_resampling + trace("2", "7");
  EXPECT_EQ(r.console, before + "\n\n Failed to write the output file: /dev/full (No space left on device) \n" +
                           "\n Output simplified breakpoints \n 1=yes  2=no \n" + press_any_key);
  EXPECT_EQ(r.status, 1);
}

}  // namespace
