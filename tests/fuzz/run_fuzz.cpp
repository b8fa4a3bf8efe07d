// Whole runs in process, driven by arbitrary standard-input bytes over a
// small fixed folder of input files: the banner to the final wait, with
// resampling and breakpoints as the answers choose.
//
// Each run starts as a fresh process would: the driver's static state is
// cleared, the folder holds its fixtures, the answers come from the input
// bytes. The final wait is a double that counts its calls, standard output
// goes to /dev/null (see VANTOR_RUN_FUZZ_CONSOLE below), and every name the answers give stays inside the
// folder: a '/' in the input is read as '_', so no path leads out of it
// (the folder has links to /dev/full and to its own files for the paths
// that matter). After each run the harness checks what must hold whatever
// the answers were: exactly one wait, status 0 or 1, no output file left
// open, no input file changed, the product file made of whole lines.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

// The driver itself, its entry routine renamed, so that the harness can
// call it again and again and reach its run state.
#define main vantor_main
#include "vantor.cpp"
#undef main

#include "platform/key_wait.h"

namespace {
int key_waits = 0;
}

// The double for the final wait.
void platform::wait_for_key() { ++key_waits; }

namespace {

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "run fuzz: %s\n", what.c_str());
  std::abort();
}

// The folder's fixtures: regular files with their content, and links.
const std::vector<std::pair<const char*, std::string>> fixture_files = {
    {"r.txt",
     "10 1.04165\n12.4703 1.06628\n15.5508 1.10697\n19.3923 1.17672\n24.1827 1.30428\n30.1566 1.53623\n"
     "37.6060 1.99322\n46.8957 3.05042\n58.4804 6.86069\n72.9269 4.15913\n90.9420 1.43853\n113.408 0.650041\n"},
    {"e.txt", "20 0.01\n30 0.015\n50 0.025\n80 0.04\n120 0.04\n200 0.02\n300 0.01\n"},
    {"a", "10 2\n20 4\n40 4\n"},
    {"b", "5 1\n10.0005 3\n15 2\n15 2\n19.9995 1\n40 0.5\n50 1\n60 0\n"},
    {"z", ""},
    {"n", std::string(16, '\0')},
    {"d", "100 -1\n50 0\n0 5\n-3 2\n1e308 1e-308\n1e-320 2\n"},
    {"h", "Frequency Amplitude\n10 1\n20 2\n"},
    {"c", "10 1\r\n\r\n20\t2\r\n30"},
    {"p", "42 7\n"},
    {"q", "10 1\n20 0\n20 3\n40 -2\n80 5\n160 5\n"},
};
constexpr std::int32_t fixture_points_max = 64;  // more than any fixture holds

const std::pair<const char*, const char*> fixture_links[] = {
    {"link", "a"},            // a second name for an input
    {"full", "/dev/full"},    // a device that takes no byte
    {"dangle", "gone"},       // a link to a file that does not exist yet
};
const char* const fixture_dirs[] = {"dir"};

std::string folder;
int home_fd = -1;

std::string content_of(const char* name) {
  std::string s;
  std::FILE* f = std::fopen(name, "rb");
  if (f == nullptr) return "<missing>";
  char buf[4096];
  std::size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, got);
  std::fclose(f);
  return s;
}

std::string fixture_content(const char* name) {
  for (const auto& [n, text] : fixture_files)
    if (std::strcmp(n, name) == 0) return text;
  return "";
}

void write_fixture(const char* name) {
  std::string text = fixture_content(name);
  std::FILE* f = std::fopen(name, "wb");
  if (f == nullptr) fail(std::string("cannot write fixture ") + name);
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

bool is_fixture(const char* name) {
  for (const auto& fx : fixture_files)
    if (std::strcmp(fx.first, name) == 0) return true;
  for (const auto& fx : fixture_links)
    if (std::strcmp(fx.first, name) == 0) return true;
  for (const char* d : fixture_dirs)
    if (std::strcmp(d, name) == 0) return true;
  return false;
}

// Puts the folder back as it was: fixtures with their content, links and
// folders in place, nothing else.
void restore_folder() {
  if (DIR* d = opendir(".")) {
    std::vector<std::string> extra;
    while (dirent* e = readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      if (!is_fixture(e->d_name)) extra.push_back(e->d_name);
    }
    closedir(d);
    for (const std::string& name : extra) {
      if (unlink(name.c_str()) != 0) fail("cannot remove " + name);
    }
  }
  for (const auto& fx : fixture_files) {
    if (content_of(fx.first) != fixture_content(fx.first)) write_fixture(fx.first);
  }
  for (const auto& [name, target] : fixture_links) {
    char buf[256];
    ssize_t n = readlink(name, buf, sizeof buf);
    if (n < 0 || std::string(buf, static_cast<std::size_t>(n)) != target) {
      unlink(name);
      if (symlink(target, name) != 0) fail(std::string("cannot link ") + name);
    }
  }
  for (const char* d : fixture_dirs) mkdir(d, 0700);
}

// The run state as a fresh process has it: names empty, no files, tables
// zero (as far as any run can have written them), no step.
void clear_run_state() {
  std::memset(first_name, 0, sizeof first_name);
  std::memset(second_name, 0, sizeof second_name);
  std::memset(output_name, 0, sizeof output_name);
  std::memset(product_name, 0, sizeof product_name);
  first_file = second_file = nullptr;
  bandwidth = 0;
  key_waits = 0;
}

void clear_tables() {
  std::int32_t top = fixture_points_max;
  if (response.last > top) top = response.last;
  if (excitation.last > top) top = excitation.last;
  std::size_t n = static_cast<std::size_t>(top < max_points - 2 ? top + 2 : max_points);
  for (func_table* t : {&response, &excitation}) {
    std::memset(t->freq, 0, n * sizeof(double));
    std::memset(t->amp, 0, n * sizeof(double));
    t->last = 0;
  }
  std::memset(product.freq, 0, n * sizeof(double));
  std::memset(product.amp, 0, n * sizeof(double));
}

bool same_existing(const char* a, const char* b) {
  struct stat sa, sb;
  return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

void check_after_run(int status, bool first_opened, bool second_opened) {
  if (status != 0 && status != 1) fail("exit status " + std::to_string(status));
  if (key_waits != 1) fail("the final wait ran " + std::to_string(key_waits) + " times");
  if (output_slot.is_open()) fail("an output file was left open, its buffer never written");

  // An input file keeps every byte, by whatever name it was opened.
  for (const auto& fx : fixture_files) {
    const bool was_input = (first_opened && same_existing(fx.first, first_name)) ||
                           (second_opened && same_existing(fx.first, second_name));
    if (was_input && content_of(fx.first) != fixture_content(fx.first))
      fail(std::string("input file ") + fx.first + " changed");
  }

  // The product file, once created, holds whole "%14.5e %14.4e \n" lines:
  // the breakpoint file never replaced it.
  if (product_name[0] != '\0') {
    struct stat st;
    if (stat(product_name, &st) == 0 && S_ISREG(st.st_mode) && st.st_size % 31 != 0)
      fail(std::string("product file ") + product_name + " is not whole product lines");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char templ[] = "/tmp/vantor-run-fuzz-XXXXXX";
  if (mkdtemp(templ) == nullptr) fail("mkdtemp");
  folder = templ;
  home_fd = open(".", O_RDONLY | O_DIRECTORY);
  if (home_fd < 0 || chdir(folder.c_str()) != 0) fail("cannot enter the folder");
  restore_folder();
  if (fchdir(home_fd) != 0) fail("cannot come back");
  // VANTOR_RUN_FUZZ_CONSOLE=1 keeps the console, to look at one run.
  const char* show = std::getenv("VANTOR_RUN_FUZZ_CONSOLE");
  if ((show == nullptr || std::strcmp(show, "1") != 0) && std::freopen("/dev/null", "w", stdout) == nullptr)
    fail("cannot silence standard output");
  std::atexit([] {
    if (chdir(folder.c_str()) == 0) {
      for (const auto& fx : fixture_files) unlink(fx.first);
      for (const auto& fx : fixture_links) unlink(fx.first);
      for (const char* d : fixture_dirs) rmdir(d);
      if (fchdir(home_fd) == 0) rmdir(folder.c_str());
    }
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<char> answers(data, data + size);
  for (char& c : answers)
    if (c == '/') c = '_';
  std::FILE* in = fmemopen(answers.data(), answers.size(), "r");
  if (in == nullptr) fail("fmemopen");

  if (chdir(folder.c_str()) != 0) fail("cannot enter the folder");
  clear_run_state();
  platform::answers_from(in);
  const int status = vantor_main();
  platform::answers_from(nullptr);
  std::fclose(in);

  const bool first_opened = first_file != nullptr;
  const bool second_opened = second_file != nullptr;
  check_after_run(status, first_opened, second_opened);

  if (first_file != nullptr) std::fclose(first_file);
  if (second_file != nullptr) std::fclose(second_file);
  clear_tables();
  restore_folder();
  if (fchdir(home_fd) != 0) fail("cannot come back");
  return 0;
}
