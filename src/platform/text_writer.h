// An output text file written through one fixed buffer, with every error
// remembered: a failed open, a failed write and a failed close are all seen
// by the caller, and nothing is written to a file that did not open.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace platform {

class text_writer {
 public:
  static constexpr std::size_t buffer_size = 1 << 16;

  // Creates or empties the file (mode "w", text). False when it cannot be
  // created; error() then tells why.
  bool open(const char* name);
  bool is_open() const { return file_ != nullptr; }

  void write(std::string_view text) {
    if (text.size() > buffer_size - used_) {
      flush_buffer();
      if (text.size() > buffer_size) {
        write_through(text);
        return;
      }
    }
    for (char c : text) buf_[used_++] = c;
  }
  // Room for `n` more bytes, to format into directly; then commit(n_used).
  char* reserve(std::size_t n) {
    if (n > buffer_size - used_) flush_buffer();
    return buf_ + used_;
  }
  void commit(std::size_t n) { used_ += n; }

  // Flushes and closes. False when any write or the close failed.
  bool close();

  // The system's error number of the first failure (0 when none).
  int error() const { return error_; }

 private:
  void flush_buffer();
  void write_through(std::string_view text);

  std::FILE* file_ = nullptr;
  std::size_t used_ = 0;
  int error_ = 0;
  bool failed_ = false;
  char buf_[buffer_size];
};

}  // namespace platform
