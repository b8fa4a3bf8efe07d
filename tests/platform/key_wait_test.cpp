// The final wait, run for real: the built program on a terminal of its own
// (a pseudo-terminal that is its controlling terminal; on Windows a pseudo
// console), with the answers on standard input.
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

// The pseudo console (Windows 10 1809 and later, and Wine), looked up when
// the test runs so that the program starts on systems without it.
using pseudo_console = void*;
using create_console_fn = HRESULT(WINAPI*)(COORD, HANDLE, HANDLE, DWORD, pseudo_console*);
using close_console_fn = void(WINAPI*)(pseudo_console);
constexpr DWORD_PTR attribute_pseudo_console = 0x00020016;  // PROC_THREAD_ATTRIBUTE_PSEUDOCONSOLE

template <class F>
F kernel_function(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

HANDLE inheritable(const fs::path& path, bool for_writing) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileW(path.c_str(), for_writing ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &sa, for_writing ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

struct console_run {
  bool started = false;
  HANDLE process = nullptr;
  DWORD pid = 0;
  pseudo_console console = nullptr;
  close_console_fn close_console = nullptr;
  HANDLE to_console = nullptr;    // the console's keyboard side, kept open while it runs
  HANDLE from_console = nullptr;  // what the console shows, read and dropped by `drain`
  std::thread drain;
  HANDLE input = INVALID_HANDLE_VALUE;  // the console's input buffer, once attached
  fs::path dir;

  // Starts the program in a fresh folder on small files with answers that
  // decline both options; `extra` follows them on standard input. Standard
  // input and output are files; the console is the program's own.
  explicit console_run(const std::string& extra) {
    const auto create_console = kernel_function<create_console_fn>("CreatePseudoConsole");
    close_console = kernel_function<close_console_fn>("ClosePseudoConsole");
    if (create_console == nullptr || close_console == nullptr) return;
    static int serial = 0;
    dir = fs::temp_directory_path() /
          ("vantor-console-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(serial++));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "r", std::ios::binary) << "10 1\n20 2\n";
    std::ofstream(dir / "e", std::ios::binary) << "10 1\n20 2\n";
    std::ofstream(dir / "answers", std::ios::binary) << "r e o 2 2\n" << extra;

    HANDLE keys = nullptr, screen = nullptr;
    if (!CreatePipe(&keys, &to_console, nullptr, 0) || !CreatePipe(&from_console, &screen, nullptr, 0)) return;
    const HRESULT made = create_console(COORD{80, 25}, keys, screen, 0, &console);
    CloseHandle(keys);  // the console keeps its own
    CloseHandle(screen);
    if (made != S_OK) {
      console = nullptr;
      return;
    }
    drain = std::thread([h = from_console] {
      char buf[4096];
      DWORD n = 0;
      while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) {
      }
    });

    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::string attributes(size, '\0');
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
    UpdateProcThreadAttribute(list, 0, attribute_pseudo_console, console, sizeof console, nullptr, nullptr);
    HANDLE in = inheritable(dir / "answers", false), out = inheritable(dir / "console", true);
    STARTUPINFOEXW si{};
    si.StartupInfo.cb = sizeof si;
    si.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    si.StartupInfo.hStdInput = in;
    si.StartupInfo.hStdOutput = out;
    si.StartupInfo.hStdError = out;
    si.lpAttributeList = list;
    const fs::path exe = fs::absolute(VANTOR_EXE);
    std::wstring command = L"\"" + exe.wstring() + L"\"";
    PROCESS_INFORMATION pi{};
    started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, EXTENDED_STARTUPINFO_PRESENT,
                             nullptr, dir.c_str(), &si.StartupInfo, &pi) != 0;
    DeleteProcThreadAttributeList(list);
    CloseHandle(in);
    CloseHandle(out);
    if (!started) return;
    CloseHandle(pi.hThread);
    process = pi.hProcess;
    pid = pi.dwProcessId;
  }
  ~console_run() {
    if (process != nullptr) {
      if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 9);
      WaitForSingleObject(process, INFINITE);
      CloseHandle(process);
    }
    if (input != INVALID_HANDLE_VALUE) {
      CloseHandle(input);
      FreeConsole();
    }
    if (console != nullptr) close_console(console);
    if (to_console != nullptr) CloseHandle(to_console);
    if (drain.joinable()) drain.join();
    if (from_console != nullptr) CloseHandle(from_console);
    std::error_code ec;
    if (!dir.empty()) fs::remove_all(dir, ec);
  }

  // The test joins the program's console, to type into it and to watch it.
  bool attach() {
    FreeConsole();
    for (int i = 0; i < 500 && !AttachConsole(pid); ++i) Sleep(10);
    input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
    return input != INVALID_HANDLE_VALUE;
  }
  DWORD mode() const {
    DWORD m = ~DWORD{0};
    GetConsoleMode(input, &m);
    return m;
  }
  // True once the program has put the console in its waiting mode.
  bool waiting(int ms = 5000) const {
    for (int i = 0; i < ms / 10; ++i) {
      if (mode() == 0) return true;
      Sleep(10);
    }
    return false;
  }
  // The exit status, or -1 when the program is still running after ms.
  int status_within(DWORD ms) const {
    if (WaitForSingleObject(process, ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return static_cast<int>(code);
  }
  // A key as the keyboard gives it: pressed, then (unless `down_only`) released.
  void press(WORD vk, WORD scan, wchar_t ch, DWORD state = 0, bool down_only = false) const {
    INPUT_RECORD r[2] = {};
    for (int i = 0; i < 2; ++i) {
      r[i].EventType = KEY_EVENT;
      KEY_EVENT_RECORD& k = r[i].Event.KeyEvent;
      k.bKeyDown = i == 0;
      k.wRepeatCount = 1;
      k.wVirtualKeyCode = vk;
      k.wVirtualScanCode = scan;
      k.uChar.UnicodeChar = ch;
      k.dwControlKeyState = state;
    }
    const DWORD count = down_only ? 1 : 2;
    DWORD n = 0;
    ASSERT_TRUE(WriteConsoleInputW(input, r, count, &n));
    ASSERT_EQ(n, count);
  }
  DWORD pending() const {
    DWORD n = ~DWORD{0};
    GetNumberOfConsoleInputEvents(input, &n);
    return n;
  }
  // The characters on the console's screen.
  std::wstring screen() const {
    std::wstring text;
    HANDLE out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (out != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(out, &info)) {
      text.assign(static_cast<std::size_t>(info.dwSize.X) * static_cast<std::size_t>(info.dwSize.Y), L' ');
      DWORD n = 0;
      ReadConsoleOutputCharacterW(out, text.data(), static_cast<DWORD>(text.size()), COORD{0, 0}, &n);
      text.resize(n);
    }
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    return text;
  }
};

#define START_ON_A_CONSOLE(run)                                                          \
  if (!(run).started) GTEST_SKIP() << "this Windows has no pseudo console to run on"; \
  ASSERT_TRUE((run).attach())

// Pending standard input does not end the wait, nor do the keys that give no
// code; one key does, without Enter and without echo, and the console's
// modes come back.
TEST(KeyWait, OneKeyFromTheConsoleEndsTheRun) {
  console_run run("more text that standard input still holds\n");
  START_ON_A_CONSOLE(run);
  ASSERT_TRUE(run.waiting());
  EXPECT_EQ(run.status_within(300), -1) << "standard input ended the wait";
  run.press(VK_SHIFT, 0x2A, 0, SHIFT_PRESSED);
  run.press(VK_CONTROL, 0x1D, 0, LEFT_CTRL_PRESSED);
  run.press(VK_MENU, 0x38, 0, LEFT_ALT_PRESSED);
  run.press(VK_CAPITAL, 0x3A, 0, CAPSLOCK_ON);
  run.press(VK_NUMLOCK, 0x45, 0, NUMLOCK_ON | ENHANCED_KEY);
  run.press(VK_LWIN, 0x5B, 0, ENHANCED_KEY);
  EXPECT_EQ(run.status_within(300), -1) << "a key without a code ended the wait";
  run.press('Q', 0x10, L'q');
  EXPECT_EQ(run.status_within(5000), 0);
  EXPECT_EQ(run.screen().find(L'q'), std::wstring::npos) << "the key was echoed";
  EXPECT_EQ(run.mode() & (ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT), DWORD{ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT});
}

// A function, cursor or editing key is one key, consumed whole; Enter and
// Ctrl+C are keys like any other and leave the console as it was.
TEST(KeyWait, FunctionCursorAndControlKeysEndTheWait) {
  struct key_case {
    const char* name;
    WORD vk, scan;
    wchar_t ch;
    DWORD state;
  };
  const key_case keys[] = {
      {"F1", VK_F1, 0x3B, 0, 0},
      {"F12", VK_F12, 0x58, 0, 0},
      {"up arrow", VK_UP, 0x48, 0, ENHANCED_KEY},
      {"page down", VK_NEXT, 0x51, 0, ENHANCED_KEY},
      {"delete", VK_DELETE, 0x53, 0, ENHANCED_KEY},
      {"Enter", VK_RETURN, 0x1C, L'\r', 0},
      {"Ctrl+C", 'C', 0x2E, 3, LEFT_CTRL_PRESSED},
  };
  for (const key_case& k : keys) {
    SCOPED_TRACE(k.name);
    console_run run("");
    START_ON_A_CONSOLE(run);
    ASSERT_TRUE(run.waiting());
    run.press(k.vk, k.scan, k.ch, k.state, true);
    EXPECT_EQ(run.status_within(5000), 0);
    EXPECT_EQ(run.pending(), 0u);
    EXPECT_NE(run.mode(), 0u);
  }
}

}  // namespace

#else  // a pseudo-terminal
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
