// Runs the built program as a user's script does: the input files written
// into a fresh temporary folder, the program started there with the answers
// on standard input, standard output captured, and no controlling terminal,
// so the final wait for a key returns at once.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

struct run_input {
  std::vector<std::pair<std::string, std::string>> files;  // name, content
  std::string answers;                                     // standard input
  // Called with the folder after the files are written and before the run,
  // for links, folders and other fixtures.
  std::function<void(const std::string& dir)> prepare;
};

struct run_result {
  std::string console;                        // all of standard output
  std::string errors;                         // all of standard error
  int status = -1;                            // exit status, or 128 + signal
  std::map<std::string, std::string> files;   // every regular file in the folder afterwards
  bool has(const std::string& name) const { return files.count(name) != 0; }
};

run_result run(const run_input& in);

// The console text of the opening rows, up to and including the row after
// the second name ("\n\n"), that every run prints.
std::string opening();

// The content of a file, read whole; empty when it cannot be read.
std::string read_file(const std::string& path);

// A file that the program, or a text_writer in a test, wrote in text mode,
// as it was meant: on Windows each line feed was written as CR LF, which is
// checked (a gtest failure names the file otherwise) and turned back into
// the line feed alone.
std::string read_text_file(const std::string& path);

// Whether symbolic links can be made here: Windows makes them only with the
// privilege or in developer mode, Wine not at all. Tests of links are
// skipped where they cannot be made.
bool links_work();

// Whether /dev/full, a device that takes no byte, is here to write to
// (Linux has it, and Wine passes it through; Windows has none).
bool has_full_device();

// A symbolic link at `link` to `target` (relative to the link's folder);
// a gtest failure when it cannot be made.
void make_link(const std::string& target, const std::string& link);

}  // namespace e2e
