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

}  // namespace e2e
