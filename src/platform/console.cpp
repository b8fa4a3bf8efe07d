#include "console.h"

#include <cstdio>

#include "number_text.h"

namespace platform {

void say(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

text_line& text_line::text(std::string_view s) {
  for (char c : s) {
    if (used_ == capacity) break;
    buf_[used_++] = c;
  }
  return *this;
}

char* text_line::room() { return capacity - used_ >= number_text_max ? buf_ + used_ : nullptr; }

text_line& text_line::exp(double v, int width, int precision) {
  if (char* p = room()) used_ = static_cast<std::size_t>(put_exp(p, v, width, precision) - buf_);
  return *this;
}

text_line& text_line::fixed(double v, int width, int precision) {
  if (char* p = room()) used_ = static_cast<std::size_t>(put_fixed(p, v, width, precision) - buf_);
  return *this;
}

text_line& text_line::general(double v, int width, int precision) {
  if (char* p = room()) used_ = static_cast<std::size_t>(put_general(p, v, width, precision) - buf_);
  return *this;
}

text_line& text_line::integer(long long v) {
  if (char* p = room()) used_ = static_cast<std::size_t>(put_int(p, v) - buf_);
  return *this;
}

}  // namespace platform
