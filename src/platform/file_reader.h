// A byte reader over an open input file, through one fixed buffer: the file
// is read in large blocks and never further than the scanner asks.
#pragma once

#include <cstddef>
#include <cstdio>

namespace platform {

class file_reader {
 public:
  static constexpr std::size_t buffer_size = 1 << 16;

  file_reader() = default;
  // Starts reading f from its current position.
  void reset(std::FILE* f) {
    file_ = f;
    pos_ = end_ = 0;
    at_end_ = false;
  }

  int peek(std::size_t ahead = 0) {
    if (pos_ + ahead >= end_ && !fill(ahead + 1)) return -1;
    return static_cast<unsigned char>(buf_[pos_ + ahead]);
  }
  void advance(std::size_t n = 1) { pos_ += n; }

 private:
  // Makes at least `need` bytes available past pos_, unless the file ends
  // first; a read error counts as the end of the file.
  bool fill(std::size_t need);

  std::FILE* file_ = nullptr;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool at_end_ = false;
  char buf_[buffer_size];
};

}  // namespace platform
