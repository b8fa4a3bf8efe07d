#include "e2e/e2e_runner.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace e2e {
namespace {

void write_file(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
  if (!out) throw std::runtime_error("cannot write fixture " + path);
}

void remove_tree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    if (DIR* d = opendir(path.c_str())) {
      while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") remove_tree(path + "/" + n);
      }
      closedir(d);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

}  // namespace

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string opening() {
  return "\n\n vantor  ver 1.6 \n January 22, 2008\n"
         " by the vantor developers\n"
         "\n\n This program multiplies a function by another function. \n"
         "\n Each program must have two columns: frequency (Hz) & amplitude. \n"
         "\n\n Enter the name of the first file. \n"
         "\n Enter the name of the second file. \n"
         "\n\n";
}

run_result run(const run_input& in) {
  char templ[] = "/tmp/vantor-e2e-XXXXXX";
  if (mkdtemp(templ) == nullptr) throw std::runtime_error("mkdtemp failed");
  const std::string dir = templ;
  const std::string work = dir + "/work";
  mkdir(work.c_str(), 0700);
  for (const auto& [name, content] : in.files) write_file(work + "/" + name, content);
  if (in.prepare) in.prepare(work);
  write_file(dir + "/stdin", in.answers);

  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    setsid();  // no controlling terminal: the wait for a key returns at once
    int fd_in = open((dir + "/stdin").c_str(), O_RDONLY);
    int fd_out = open((dir + "/stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int fd_err = open((dir + "/stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd_in < 0 || fd_out < 0 || fd_err < 0 || chdir(work.c_str()) != 0) _exit(126);
    dup2(fd_in, 0);
    dup2(fd_out, 1);
    dup2(fd_err, 2);
    execl(VANTOR_EXE, VANTOR_EXE, static_cast<char*>(nullptr));
    _exit(127);
  }
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);

  run_result r;
  r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  r.console = read_file(dir + "/stdout");
  r.errors = read_file(dir + "/stderr");
  if (DIR* d = opendir(work.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      struct stat st;
      if (stat((work + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        r.files[name] = read_file(work + "/" + name);
      }
    }
    closedir(d);
  }
  remove_tree(dir);
  return r;
}

}  // namespace e2e
