// Hostile input end to end on the built program: input files of NUL bytes,
// without a final line end, with a number ten million digits long, a 1 GB
// file; standard input that ends at each question in turn; breakpoint files
// that cannot be written. Every run must finish with precise output and
// leave every input file as it was.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/dialogue.h"
#include "e2e/e2e_runner.h"

namespace {

using namespace e2e;

// The console of a run over the worked example's two files, resampling
// declined, up to the product file's name.
std::string worked_until_product(const std::string& r, const std::string& e, const std::string& out) {
  return e2e::opening() + opened(r, e) +
         statistics("3", "          10", "          40", "8", "           5", "          60") + declined_resampling +
         trace("2", "7") + product_named(out);
}

// What every run must leave: the input files byte for byte, and no file in
// the folder besides the inputs and the ones the run was asked to write.
void expect_inputs_kept(const e2e::run_result& r, const std::vector<std::pair<std::string, std::string>>& inputs,
                        const std::vector<std::string>& written, const std::string& label) {
  for (const auto& [name, content] : inputs) {
    auto it = r.files.find(name);
    ASSERT_NE(it, r.files.end()) << label << ": input " << name << " is gone";
    EXPECT_TRUE(it->second == content) << label << ": input " << name << " changed";
  }
  EXPECT_EQ(r.files.size(), inputs.size() + written.size()) << label;
  for (const std::string& w : written) EXPECT_TRUE(r.has(w)) << label << ": " << w << " missing";
  EXPECT_EQ(r.errors, "") << label;
}

// Input files of NUL bytes: NUL is no white space and no number, so the
// reading stops there, silently, and the run goes on.
TEST(FaultsE2E, InputFilesOfNulBytes) {
  const std::string nuls(4096, '\0');
  const std::string points_then_nuls = std::string("5 1\n10.0005 3\n") + std::string(100, '\0') + "15 2\n";
  const std::vector<std::pair<std::string, std::string>> inputs = {{"r", nuls}, {"e", points_then_nuls}};
  e2e::run_result r = e2e::run({inputs, "r e o 2 2\n", nullptr});
  EXPECT_EQ(r.console, e2e::opening() + opened("r", "e") +
                           statistics("0", "           0", "           0", "2", "           5", "      10.001") +
                           declined_resampling + trace("-1", "1") + product_named("o") + breakpoint_question +
                           press_any_key);
  EXPECT_EQ(r.files["o"], "");
  EXPECT_EQ(r.status, 0);
  expect_inputs_kept(r, inputs, {"o"}, "nul bytes");

  // The other way round: the points of the response, none of the excitation.
  const std::vector<std::pair<std::string, std::string>> swapped = {{"r", response_text}, {"e", nuls}};
  e2e::run_result s = e2e::run({swapped, "r e o 2 2\n", nullptr});
  EXPECT_EQ(s.console, e2e::opening() + opened("r", "e") +
                           statistics("3", "          10", "          40", "0", "           0", "           0") +
                           declined_resampling + trace("2", "-1") + product_named("o") + breakpoint_question +
                           press_any_key);
  EXPECT_EQ(s.files["o"], "");
  expect_inputs_kept(s, swapped, {"o"}, "nul excitation");
}

// A last line without its line end reads like one with it, also when the
// file ends inside the last number or right after a frequency.
TEST(FaultsE2E, NoFinalLineEnd) {
  struct cut_case {
    const char* name;
    std::string response, excitation;
  };
  const cut_case cases[] = {
      {"both files", "10 2\n20 4\n40 4", "5 1\n10.0005 3\n15 2\n15 2\n19.9995 1\n40 0.5\n50 1\n60 0"},
      {"carriage returns, no line feed at the end", "10 2\r\n20 4\r\n40 4\r",
       "5 1\r\n10.0005 3\r\n15 2\r\n15 2\r\n19.9995 1\r\n40 0.5\r\n50 1\r\n60 0"},
      {"the file ends after the last frequency", response_text, "5 1\n10.0005 3\n15 2\n15 2\n19.9995 1\n40 0.5\n50 1\n60"},
  };
  for (const cut_case& c : cases) {
    const std::vector<std::pair<std::string, std::string>> inputs = {{"r.txt", c.response}, {"e.txt", c.excitation}};
    e2e::run_result r = e2e::run({inputs, "r.txt e.txt out.txt 2 2", nullptr});
    EXPECT_EQ(r.console, worked_until_product("r.txt", "e.txt", "out.txt") + breakpoint_question + press_any_key)
        << c.name;
    EXPECT_EQ(r.files["out.txt"], worked_product) << c.name;
    EXPECT_EQ(r.status, 0) << c.name;
    expect_inputs_kept(r, inputs, {"out.txt"}, c.name);
  }
}

// Numbers written with ten million digits read as the nearest double, in
// bounded memory: here 10 as 1 followed by 9,999,999 zeros and an exponent,
// and 3 as 3. followed by ten million digits just above it.
TEST(FaultsE2E, NumbersOfTenMillionDigits) {
  const std::string ten = "1" + std::string(9'999'999, '0') + "e-9999998";
  const std::string three = "3." + std::string(9'999'999, '0') + "1";
  const std::string response = ten + " 2\n20 4\n40 4\n";
  const std::string excitation = "5 1\n10.0005 " + three + "\n15 2\n15 2\n19.9995 1\n40 0.5\n50 1\n60 0\n";
  const std::vector<std::pair<std::string, std::string>> inputs = {{"r.txt", response}, {"e.txt", excitation}};
  e2e::run_result r = e2e::run({inputs, "r.txt e.txt out.txt 2 2\n", nullptr});
  EXPECT_EQ(r.console, worked_until_product("r.txt", "e.txt", "out.txt") + breakpoint_question + press_any_key);
  EXPECT_EQ(r.files["out.txt"], worked_product);
  EXPECT_EQ(r.status, 0);
  expect_inputs_kept(r, inputs, {"out.txt"}, "ten million digits");
}

#ifndef _WIN32  // sparse files, file times and holes as POSIX gives them

// A folder of our own for a file too large to pass through the runner,
// removed with everything in it.
struct scratch_dir {
  std::string path;
  scratch_dir() {
    char templ[] = "/tmp/vantor-faults-XXXXXX";
    if (mkdtemp(templ) != nullptr) path = templ;
  }
  ~scratch_dir() {
    if (path.empty()) return;
    unlink((path + "/big").c_str());
    rmdir(path.c_str());
  }
};

// A 1 GB response file: 200,001 pairs, then a hole up to 1 GB. Reading
// stops after 200,000 points, the rest of the file is never needed, and
// the run finishes; the file is neither written nor touched.
TEST(FaultsE2E, OneGigabyteInputStopsAt200000Points) {
  scratch_dir dir;
  ASSERT_FALSE(dir.path.empty());
  const std::string big = dir.path + "/big";
  std::string head;
  for (int i = 1; i <= 200001; ++i) head += std::to_string(i) + " 1\n";
  const off_t one_gb = off_t{1} << 30;
  {
    int fd = open(big.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, head.data(), head.size()), static_cast<ssize_t>(head.size()));
    ASSERT_EQ(ftruncate(fd, one_gb), 0);
    close(fd);
  }
  struct stat before;
  ASSERT_EQ(stat(big.c_str(), &before), 0);
  ASSERT_EQ(before.st_size, one_gb);
  // Whether the file system keeps the tail as a hole (so that a write into
  // it would show as data).
  const off_t tail_from = (static_cast<off_t>(head.size()) + 65535) / 65536 * 65536 + 65536;
  auto tail_is_hole = [&] {
    int fd = open(big.c_str(), O_RDONLY);
    off_t at = lseek(fd, tail_from, SEEK_DATA);
    int err = errno;
    close(fd);
    return at < 0 && err == ENXIO;
  };
  const bool sparse = tail_is_hole();

  const std::string excitation = "1 1\n200000 2\n200001 3\n";
  const std::vector<std::pair<std::string, std::string>> inputs = {{"e", excitation}};
  e2e::run_result r = e2e::run({inputs, big + " e o 2 2\n", nullptr});
  EXPECT_EQ(r.console, e2e::opening() + opened(big, "e") +
                           statistics("200000", "           1", "      2e+005", "3", "           1", "      2e+005") +
                           declined_resampling + trace("199999", "2") + product_named("o") + breakpoint_question +
                           press_any_key);
  EXPECT_EQ(r.files["o"],
            "  1.00000e+000    1.0000e+000 \n"
            "  2.00000e+005    2.0000e+000 \n");
  EXPECT_EQ(r.status, 0);
  expect_inputs_kept(r, inputs, {"o"}, "1 GB");

  struct stat after;
  ASSERT_EQ(stat(big.c_str(), &after), 0);
  EXPECT_EQ(after.st_size, one_gb);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  if (sparse) {
    EXPECT_TRUE(tail_is_hole());
  }
  std::string again(head.size(), '\0');
  int fd = open(big.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(read(fd, again.data(), again.size()), static_cast<ssize_t>(again.size()));
  close(fd);
  EXPECT_TRUE(again == head);
}

#endif

// Standard input that ends at each question in turn: a choice that reads
// nothing is no yes, a step that reads nothing leaves the step at 0, and a
// breakpoint name that reads nothing never falls back on the product
// file's name still in the buffer.
TEST(FaultsE2E, StandardInputEndingAtEachQuestion) {
  // The excitation starts on a response frequency, so that the grid of a
  // step of 0 (two points at the first frequency) still makes products.
  const std::string excitation = "10 1\n20 3\n";
  const std::vector<std::pair<std::string, std::string>> inputs = {{"r.txt", response_text}, {"e.txt", excitation}};
  const std::string until_question = e2e::opening() + opened("r.txt", "e.txt") +
                                     statistics("3", "          10", "          40", "2", "          10", "          20") +
                                     declined_resampling;
  const std::string declined = trace("2", "1") + product_named("out.txt");
  const std::string declined_product =
      "  1.00000e+001    2.0000e+000 \n"
      "  2.00000e+001    1.2000e+001 \n";
  const std::string zero_step =
      "\n Enter bandwidth \n"
      "\n go to intlog 1\n\n intlog \n fz=40.000000  fa=10.000000   nt=1  \n\n nn=1 \n  lasta=1   \n"
      "\n go to intlog 2\n\n intlog \n fz=20.000000  fa=10.000000   nt=1  \n\n nn=1 \n  lastb=1   \n" +
      trace("1", "1") + product_named("out.txt");
  const std::string zero_step_product =
      "  1.00000e+001    2.0000e+000 \n"
      "  1.00000e+001    2.0000e+000 \n";

  struct end_case {
    const char* name;
    const char* answers;
    std::string console;
    std::string product;
    int status;
  };
  const end_case cases[] = {
      {"at the interpolation question", "r.txt e.txt out.txt",
       until_question + declined + breakpoint_question + press_any_key, declined_product, 0},
      {"at the step", "r.txt e.txt out.txt\n1\n", until_question + zero_step + breakpoint_question + press_any_key,
       zero_step_product, 0},
      {"at the breakpoint question", "r.txt e.txt out.txt 2\n",
       until_question + declined + breakpoint_question + press_any_key, declined_product, 0},
      {"at the breakpoint name", "r.txt e.txt out.txt 2 1 \n\n",
       until_question + declined + breakpoint_question + breakpoint_name_prompt +
           "\n No breakpoint file was created (standard input ended before a file name). \n" + press_any_key,
       declined_product, 1},
  };
  for (const end_case& c : cases) {
    e2e::run_result r = e2e::run({inputs, c.answers, nullptr});
    EXPECT_EQ(r.console, c.console) << c.name;
    EXPECT_EQ(r.files["out.txt"], c.product) << c.name;
    EXPECT_EQ(r.status, c.status) << c.name;
    expect_inputs_kept(r, inputs, {"out.txt"}, c.name);
  }
}

#ifndef _WIN32  // symbolic links and /dev/full

// Breakpoint files that cannot be created or written: a folder, a path
// through a missing folder, an input or the product file by another name,
// and a device that takes no byte. Each is reported, nothing else is
// harmed, and the run ends with status 1.
TEST(FaultsE2E, BreakpointFileFaults) {
  const std::vector<std::pair<std::string, std::string>> inputs = {{"r.txt", response_text},
                                                                   {"e.txt", excitation_text}};
  auto prepare = [](const std::string& dir) {
    mkdir((dir + "/sub").c_str(), 0700);
    EXPECT_EQ(symlink("r.txt", (dir + "/link").c_str()), 0);
  };
  // "link" is a regular file to the runner: it shows the response's bytes.
  std::vector<std::pair<std::string, std::string>> kept = inputs;
  kept.push_back({"link", response_text});
  const std::string until_name =
      worked_until_product("r.txt", "e.txt", "out.txt") + breakpoint_question + breakpoint_name_prompt;

  // The breakpoints as a good run writes them, echoed on the console.
  e2e::run_result good = e2e::run({inputs, "r.txt e.txt out.txt 2 1 bp.txt\n", prepare});
  const std::string breakpoints = good.files["bp.txt"];
  ASSERT_FALSE(breakpoints.empty());
  EXPECT_EQ(good.console, until_name + "\n" + breakpoints + press_any_key);
  EXPECT_EQ(good.status, 0);
  expect_inputs_kept(good, kept, {"out.txt", "bp.txt"}, "good");

  struct bp_case {
    const char* name;
    std::string console_after_name;
  };
  const bp_case cases[] = {
      {"sub", "\n Failed to create file: sub (Is a directory) \n"},
      {"nodir/bp.txt", "\n Failed to create file: nodir/bp.txt (No such file or directory) \n"},
      {"link", "\n Failed to create file: link (it is the first input file) \n"},
      {"./e.txt", "\n Failed to create file: ./e.txt (it is the second input file) \n"},
      {"sub/../out.txt", "\n Failed to create file: sub/../out.txt (it is the product file) \n"},
      {"/dev/full", "\n" + breakpoints + "\n Failed to write file: /dev/full (No space left on device) \n"},
  };
  for (const bp_case& c : cases) {
    e2e::run_result r = e2e::run({inputs, std::string("r.txt e.txt out.txt 2 1 ") + c.name + "\n", prepare});
    EXPECT_EQ(r.console, until_name + c.console_after_name + press_any_key) << c.name;
    EXPECT_EQ(r.files["out.txt"], worked_product) << c.name;
    EXPECT_EQ(r.status, 1) << c.name;
    expect_inputs_kept(r, kept, {"out.txt"}, c.name);
  }
}

#endif

// A response point at 0.001 Hz (or -0.001 Hz), whose tolerance interval
// reaches 0, with enough excitation points beyond the response for the
// product's search to build its index: the index once stepped through the
// doubles near 0 one at a time, some 2^62 of them, and the run never ended.
TEST(FaultsE2E, ResponsePointAtTheToleranceFromZero) {
  std::string excitation;
  for (int i = 0; i < 2000; ++i) excitation += "5 1\n";
  excitation += "1.0005 4\n1.5 2\n";
  struct zero_case {
    const char* first;
    const char* shown;
  };
  const zero_case cases[] = {{"0.001", "       0.001"}, {"-0.001", "      -0.001"}};
  for (const zero_case& c : cases) {
    const std::vector<std::pair<std::string, std::string>> inputs = {{"r", std::string(c.first) + " 1\n1 2\n2 3\n"},
                                                                     {"e", excitation}};
    e2e::run_result r = e2e::run({inputs, "r e o 2 2\n", nullptr});
    EXPECT_EQ(r.console, e2e::opening() + opened("r", "e") +
                             statistics("3", c.shown, "           2", "2002", "           5", "         1.5") +
                             declined_resampling + trace("2", "2001") + product_named("o") + breakpoint_question +
                             press_any_key)
        << c.first;
    EXPECT_EQ(r.files["o"],
              "  1.00050e+000    8.0000e+000 \n"
              "  1.50000e+000    5.0000e+000 \n")
        << c.first;
    EXPECT_EQ(r.status, 0) << c.first;
    expect_inputs_kept(r, inputs, {"o"}, c.first);
  }
}

}  // namespace
