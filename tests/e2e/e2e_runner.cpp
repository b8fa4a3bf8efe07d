#include "e2e/e2e_runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace e2e {
namespace {

namespace fs = std::filesystem;

void write_file(const fs::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
  if (!out) throw std::runtime_error("cannot write fixture " + path.string());
}

// Every regular file in the folder (links followed), by name.
std::map<std::string, std::string> regular_files(const fs::path& dir) {
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code kind;
    if (fs::is_regular_file(it->path(), kind)) files[it->path().filename().string()] = read_file(it->path().string());
  }
  return files;
}

#ifdef _WIN32

// A fresh folder of our own under the system's temporary folder.
fs::path make_temp_dir() {
  static std::atomic<unsigned> serial{0};
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const fs::path dir = base / ("vantor-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(GetTickCount()) + "-" + std::to_string(serial++));
    std::error_code ec;
    if (fs::create_directory(dir, ec)) return dir;
  }
  throw std::runtime_error("cannot make a temporary folder");
}

HANDLE inheritable(const fs::path& path, bool for_writing) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileW(path.c_str(), for_writing ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &sa, for_writing ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Starts the program in `work` with the three standard streams on files and
// without a console, so that the wait for a key returns at once; its exit code.
int run_program(const fs::path& work, const fs::path& in, const fs::path& out, const fs::path& err) {
  static const fs::path exe = fs::absolute(VANTOR_EXE);
  HANDLE h_in = inheritable(in, false), h_out = inheritable(out, true), h_err = inheritable(err, true);
  if (h_in == INVALID_HANDLE_VALUE || h_out == INVALID_HANDLE_VALUE || h_err == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("cannot open the standard streams of the run");
  }
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = h_in;
  si.hStdOutput = h_out;
  si.hStdError = h_err;
  PROCESS_INFORMATION pi{};
  std::wstring command = L"\"" + exe.wstring() + L"\"";
  const BOOL started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                                      work.c_str(), &si, &pi);
  CloseHandle(h_in);
  CloseHandle(h_out);
  CloseHandle(h_err);
  if (!started) throw std::runtime_error("cannot start " + exe.string());
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

// Text that the program wrote in text mode, where every line feed goes out
// as CR LF: checked for that, and given back as the program meant it, with
// the line feeds alone.
std::string from_text_mode(const std::string& text, const std::string& what) {
  std::string plain;
  plain.reserve(text.size());
  bool bare_line_feed = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) bare_line_feed = true;
    plain += text[i];
  }
  if (bare_line_feed) ADD_FAILURE() << what << ": a line feed without the carriage return of text mode before it";
  return plain;
}

#else

fs::path make_temp_dir() {
  char templ[] = "/tmp/vantor-e2e-XXXXXX";
  if (mkdtemp(templ) == nullptr) throw std::runtime_error("mkdtemp failed");
  return templ;
}

// Starts the program in `work` with the three standard streams on files and
// no controlling terminal, so that the wait for a key returns at once; its
// exit status, or 128 + the signal that ended it.
int run_program(const fs::path& work, const fs::path& in, const fs::path& out, const fs::path& err) {
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    setsid();
    int fd_in = open(in.c_str(), O_RDONLY);
    int fd_out = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int fd_err = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd_in < 0 || fd_out < 0 || fd_err < 0 || chdir(work.c_str()) != 0) _exit(126);
    dup2(fd_in, 0);
    dup2(fd_out, 1);
    dup2(fd_err, 2);
    execl(VANTOR_EXE, VANTOR_EXE, static_cast<char*>(nullptr));
    _exit(127);
  }
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
}

// Line ends are written as they are.
std::string from_text_mode(const std::string& text, const std::string&) { return text; }

#endif

bool try_link(const fs::path& target, const fs::path& link) {
#ifdef _WIN32
  constexpr DWORD unprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE, where it is known
  if (!CreateSymbolicLinkW(link.c_str(), target.c_str(), unprivileged) &&
      !CreateSymbolicLinkW(link.c_str(), target.c_str(), 0)) {
    return false;
  }
#else
  if (symlink(target.c_str(), link.c_str()) != 0) return false;
#endif
  // Wine answers yes and makes nothing: the link must lead to its target.
  std::error_code ec;
  return fs::exists(link, ec);
}

}  // namespace

std::string read_text_file(const std::string& path) { return from_text_mode(read_file(path), path); }

bool links_work() {
  static const bool work = [] {
    const fs::path dir = make_temp_dir();
    write_file(dir / "target", "x");
    const bool made = try_link("target", dir / "link");
    std::error_code ec;
    fs::remove_all(dir, ec);
    return made;
  }();
  return work;
}

bool has_full_device() {
  static const bool here = [] {
    std::FILE* f = std::fopen("/dev/full", "r+b");  // never creates a file
    if (f == nullptr) return false;
    std::setvbuf(f, nullptr, _IONBF, 0);
    const bool full = std::fputc('x', f) == EOF;
    std::fclose(f);
    return full;
  }();
  return here;
}

void make_link(const std::string& target, const std::string& link) {
  EXPECT_TRUE(try_link(target, link)) << "cannot make the symbolic link " << link;
}

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
  const fs::path dir = make_temp_dir();
  const fs::path work = dir / "work";
  fs::create_directory(work);
  for (const auto& [name, content] : in.files) write_file(work / name, content);
  if (in.prepare) in.prepare(work.string());
  write_file(dir / "stdin", in.answers);
  // What the folder holds before the run: a file that the run leaves as it
  // was is no text the program wrote.
  const std::map<std::string, std::string> before = regular_files(work);

  run_result r;
  r.status = run_program(work, dir / "stdin", dir / "stdout", dir / "stderr");
  r.console = from_text_mode(read_file((dir / "stdout").string()), "standard output");
  r.errors = from_text_mode(read_file((dir / "stderr").string()), "standard error");
  for (auto& [name, content] : regular_files(work)) {
    auto old = before.find(name);
    r.files[name] = old != before.end() && old->second == content ? content : from_text_mode(content, name);
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  return r;
}

}  // namespace e2e
