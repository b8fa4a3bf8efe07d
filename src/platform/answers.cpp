#include "answers.h"

#include <climits>
#include <cstdio>

#include "decimal_scan.h"

namespace platform {
namespace {

// Standard input one byte at a time, with a short look-ahead of our own: the
// scanner may look a few bytes past what it consumes, and everything it does
// not consume must stay for the next answer. getc returns what a terminal or
// a pipe has delivered, so nothing waits for more input than a line.
class stdin_reader {
 public:
  int peek(std::size_t ahead = 0) {
    while (count_ <= ahead) {
      if (count_ == look_max) return -1;
      int c = std::getc(source != nullptr ? source : stdin);
      if (c == EOF) return -1;
      look_[(head_ + count_) % look_max] = static_cast<unsigned char>(c);
      ++count_;
    }
    return look_[(head_ + ahead) % look_max];
  }
  void reset(std::FILE* f) {
    source = f;
    head_ = count_ = 0;
  }
  void advance(std::size_t n = 1) {
    while (n-- > 0) {
      if (count_ == 0 && peek() < 0) return;
      head_ = (head_ + 1) % look_max;
      --count_;
    }
  }

 private:
  static constexpr std::size_t look_max = 8;
  std::FILE* source = nullptr;
  unsigned char look_[look_max] = {};
  std::size_t head_ = 0;
  std::size_t count_ = 0;
};

stdin_reader in;

void before_read() {
  std::fflush(stdout);  // the prompt is on the screen before the program waits
  skip_space(in);
}

}  // namespace

void answers_from(std::FILE* f) { in.reset(f); }

word_status read_word(char* buf, std::size_t cap) {
  before_read();
  if (in.peek() < 0) return word_status::none;
  std::size_t n = 0;
  bool cut = false;
  for (int c; (c = in.peek()) >= 0 && !is_space(c); in.advance()) {
    if (n + 1 < cap) {
      buf[n++] = static_cast<char>(c);
    } else {
      cut = true;
    }
  }
  if (cap > 0) buf[n] = '\0';
  return cut ? word_status::too_long : word_status::ok;
}

bool read_int(int& value) {
  before_read();
  std::size_t k = 0;
  int c = in.peek();
  if (c == '+' || c == '-') c = in.peek(++k);
  if (!(c >= '0' && c <= '9')) return false;
  bool negative = in.peek() == '-';
  in.advance(k);
  long long v = 0;
  for (; (c = in.peek()) >= '0' && c <= '9'; in.advance()) {
    if (v <= INT_MAX) v = v * 10 + (c - '0');
  }
  if (negative) v = -v;
  value = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
  return true;
}

bool read_double(double& value) {
  before_read();
  return scan_decimal(in, value);
}

}  // namespace platform
