#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>

#include "key_wait.h"

namespace platform {
namespace {

// The keys that end the wait without giving a character: the function, cursor
// and editing keys. Shift, Ctrl, Alt, the lock keys and the like give neither.
bool is_function_or_cursor_key(WORD vk) {
  return (vk >= VK_F1 && vk <= VK_F24) || (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE;
}

}  // namespace

void wait_for_key() {
  std::fflush(stdout);
  // The console's own input buffer, whatever standard input is (a file, a
  // pipe). A process without a console cannot open it: no key to wait for.
  HANDLE con = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (con == INVALID_HANDLE_VALUE) return;
  DWORD saved_mode = 0;
  if (!GetConsoleMode(con, &saved_mode)) {
    CloseHandle(con);
    return;
  }
  // Keys typed before the prompt was shown do not answer it. Mode 0: no line
  // editing, no echo, Ctrl+C a key like any other, as conio's _getch reads.
  FlushConsoleInputBuffer(con);
  SetConsoleMode(con, 0);

  // One key press is one key-down record, a function or cursor key too; its
  // key-up and the records of mouse and focus are passed over.
  INPUT_RECORD r;
  DWORD got = 0;
  while (ReadConsoleInputW(con, &r, 1, &got) && got == 1) {
    if (r.EventType != KEY_EVENT || !r.Event.KeyEvent.bKeyDown) continue;
    const KEY_EVENT_RECORD& k = r.Event.KeyEvent;
    if (k.uChar.UnicodeChar != 0 || is_function_or_cursor_key(k.wVirtualKeyCode)) break;
  }

  SetConsoleMode(con, saved_mode);
  CloseHandle(con);
}

}  // namespace platform
