#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

#include "key_wait.h"

namespace platform {
namespace {

// The terminal's modes while the wait runs, so that a signal ending the
// process can put them back.
int tty_fd = -1;
termios saved_modes;

void restore_and_reraise(int sig) {
  if (tty_fd >= 0) tcsetattr(tty_fd, TCSAFLUSH, &saved_modes);
  signal(sig, SIG_DFL);
  raise(sig);
}

// After the first byte of a key, the rest of its sequence arrives at once;
// read what follows within a short pause so that it cannot leak to the shell.
void drain_sequence(int fd) {
  unsigned char rest[32];
  pollfd p{fd, POLLIN, 0};
  while (poll(&p, 1, 30) > 0 && (p.revents & POLLIN)) {
    if (read(fd, rest, sizeof rest) <= 0) break;
  }
}

}  // namespace

void wait_for_key() {
  std::fflush(stdout);
  int fd = open("/dev/tty", O_RDWR | O_NOCTTY);
  if (fd < 0) return;
  if (tcgetattr(fd, &saved_modes) != 0) {
    close(fd);
    return;
  }
  tty_fd = fd;
  struct sigaction act {}, old_int{}, old_term{}, old_hup{};
  act.sa_handler = restore_and_reraise;
  sigemptyset(&act.sa_mask);
  sigaction(SIGINT, &act, &old_int);
  sigaction(SIGTERM, &act, &old_term);
  sigaction(SIGHUP, &act, &old_hup);

  termios raw = saved_modes;
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(fd, TCSAFLUSH, &raw);

  unsigned char c = 0;
  if (read(fd, &c, 1) == 1 && c == 0x1b) drain_sequence(fd);

  tcsetattr(fd, TCSAFLUSH, &saved_modes);
  tty_fd = -1;
  sigaction(SIGINT, &old_int, nullptr);
  sigaction(SIGTERM, &old_term, nullptr);
  sigaction(SIGHUP, &old_hup, nullptr);
  close(fd);
}

}  // namespace platform
