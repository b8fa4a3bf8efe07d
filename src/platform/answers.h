// Answers typed at the prompts, read from standard input as one stream of
// white-space separated items. The character that ends an item is left
// unread, so the rest of a line answers the next prompt. Standard output is
// flushed before every read, so each prompt is on the screen first.
#pragma once

#include <cstddef>
#include <cstdio>

namespace platform {

enum class word_status {
  ok,        // a word was read into the buffer
  too_long,  // a word was read whole, but only cap - 1 characters are kept
  none,      // standard input ended first; the buffer is unchanged
};

// "%s": skips white space and reads up to the next white space or the end.
word_status read_word(char* buf, std::size_t cap);

// "%d": skips white space, then an optional sign and digits. Returns false
// when no integer starts there (value unchanged, the text stays pending).
// Values beyond the int range saturate.
bool read_int(int& value);

// "%lf": skips white space, then a decimal number as the input files write
// them. Returns false when none starts there (value unchanged, text pending).
bool read_double(double& value);

// Takes the answers from f from now on (nullptr: standard input again), with
// nothing pending. For tests and harnesses that drive a run in process.
void answers_from(std::FILE* f);

}  // namespace platform
