// Console text: everything the program says goes to standard output.
// text_line assembles one message from literal text and number text in a
// fixed buffer, so a message is formatted without any allocation.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

void say(std::string_view text);

class text_line {
 public:
  static constexpr std::size_t capacity = 2048;

  text_line& text(std::string_view s);
  text_line& exp(double v, int width, int precision);      // "%W.Pe"
  text_line& fixed(double v, int width, int precision);    // "%W.Pf"
  text_line& general(double v, int width, int precision);  // "%W.Pg"
  text_line& integer(long long v);                         // "%ld"

  std::string_view view() const { return {buf_, used_}; }
  void say() const { platform::say(view()); }

 private:
  char* room();  // nullptr when a number no longer fits
  char buf_[capacity];
  std::size_t used_ = 0;
};

}  // namespace platform
