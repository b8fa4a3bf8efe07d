#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// conio after windows.h: it is the runtime's reader of the console's keys.
#include <conio.h>

#include <cstdio>

#include "key_wait.h"

namespace platform {

void wait_for_key() {
  std::fflush(stdout);
  // The console's own input buffer, whatever standard input is (a file, a
  // pipe). A process without a console cannot open it: no key to wait for.
  HANDLE con = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (con == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  const bool console = GetConsoleMode(con, &mode) != 0;
  // Keys typed before the prompt was shown do not answer it.
  if (console) FlushConsoleInputBuffer(con);
  CloseHandle(con);
  if (!console) return;

  // _getch takes one key-down from the console, without echo and without
  // Enter, and passes over the keys that give no code (Shift, Ctrl, Alt, the
  // locks). A function, cursor or editing key gives 0 or 0xE0 and then its
  // own code: both are taken, so nothing of it is left in the console.
  const int c = _getch();
  if (c == 0 || c == 0xE0) _getch();
}

}  // namespace platform
