// The final wait, run for real: the built program under a pseudo-terminal
// that is its controlling terminal, with the answers on standard input.
#ifndef _WIN32  // the console of Windows has no pseudo-terminal
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

struct terminal_run {
  int master = -1;
  int slave = -1;  // the test's own handle on the terminal
  pid_t pid = -1;
  std::string dir;

  // Starts the program in a fresh folder on the example files with answers
  // that decline both options; `extra` follows them on standard input.
  explicit terminal_run(const std::string& extra) {
    char templ[] = "/tmp/vantor-tty-XXXXXX";
    dir = mkdtemp(templ);
    std::ofstream(dir + "/r") << "10 1\n20 2\n";
    std::ofstream(dir + "/e") << "10 1\n20 2\n";
    std::ofstream(dir + "/answers") << "r e o 2 2\n" << extra;
    master = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(master);
    unlockpt(master);
    const std::string slave_name = ptsname(master);
    pid = fork();
    if (pid == 0) {
      setsid();
      int tty = open(slave_name.c_str(), O_RDWR);  // becomes the controlling terminal
      int in = open((dir + "/answers").c_str(), O_RDONLY);
      int out = open((dir + "/console").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (tty < 0 || in < 0 || out < 0 || chdir(dir.c_str()) != 0) _exit(126);
      dup2(in, 0);
      dup2(out, 1);
      dup2(out, 2);
      execl(VANTOR_EXE, VANTOR_EXE, static_cast<char*>(nullptr));
      _exit(127);
    }
    slave = open(slave_name.c_str(), O_RDWR | O_NOCTTY);
  }
  ~terminal_run() {
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    close(master);
    close(slave);
    std::system(("rm -rf " + dir).c_str());
  }

  termios modes() const {
    termios t{};
    tcgetattr(slave, &t);
    return t;
  }
  // True once the program has put the terminal in its waiting mode.
  bool waiting(int ms = 5000) const {
    for (int i = 0; i < ms / 10; ++i) {
      if (!(modes().c_lflag & ICANON)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  // The exit status, or -1 when the program is still running after ms.
  int status_within(int ms) {
    for (int i = 0; i < ms / 10; ++i) {
      int ws = 0;
      if (waitpid(pid, &ws, WNOHANG) == pid) {
        pid = -1;
        return WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }
  std::string echoed() const {
    std::string s;
    char buf[256];
    pollfd p{master, POLLIN, 0};
    while (poll(&p, 1, 50) > 0) {
      ssize_t n = read(master, buf, sizeof buf);
      if (n <= 0) break;
      s.append(buf, static_cast<std::size_t>(n));
    }
    return s;
  }
  void press(const std::string& bytes) const { ASSERT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
};

// Pending standard input does not end the wait; one key does, without
// Enter and without echo, and the terminal's modes come back.
TEST(KeyWait, OneKeyFromTheTerminalEndsTheRun) {
  terminal_run run("more text that standard input still holds\n");
  const termios before = run.modes();
  ASSERT_TRUE(run.waiting());
  EXPECT_EQ(run.status_within(300), -1) << "standard input ended the wait";
  run.press("x");
  EXPECT_EQ(run.status_within(5000), 0);
  EXPECT_EQ(run.echoed().find('x'), std::string::npos);
  EXPECT_EQ(run.modes().c_lflag, before.c_lflag);
}

// A key that sends several bytes is one key, consumed whole.
TEST(KeyWait, AFunctionKeyIsOneKeyAndLeavesNothingBehind) {
  terminal_run run("");
  ASSERT_TRUE(run.waiting());
  run.press("\x1bOP");  // F1
  EXPECT_EQ(run.status_within(5000), 0);
  int pending = -1;
  ioctl(run.slave, FIONREAD, &pending);
  EXPECT_EQ(pending, 0);
}

// A signal during the wait ends the run, and the terminal is usable again.
TEST(KeyWait, SignalsRestoreTheTerminal) {
  for (int sig : {SIGINT, SIGTERM}) {
    terminal_run run("");
    const termios before = run.modes();
    ASSERT_TRUE(run.waiting());
    kill(run.pid, sig);
    EXPECT_EQ(run.status_within(5000), 128 + sig);
    EXPECT_EQ(run.modes().c_lflag, before.c_lflag) << sig;
  }
}

}  // namespace

#endif  // _WIN32
