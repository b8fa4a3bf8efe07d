// The final wait: one key press read from the console itself, not from
// standard input. No echo and no Enter; a key that sends several codes (a
// function or cursor key) counts once and is consumed whole; a key that sends
// nothing (Shift alone) does not end the wait. Without a console it returns
// at once.
#pragma once

namespace platform {

void wait_for_key();

}  // namespace platform
