#include "file_reader.h"

#include <cstring>

namespace platform {

bool file_reader::fill(std::size_t need) {
  if (pos_ > end_) pos_ = end_;
  if (need > buffer_size) return false;
  while (end_ - pos_ < need) {
    if (at_end_) return false;
    if (end_ + need > buffer_size || end_ == buffer_size) {
      std::memmove(buf_, buf_ + pos_, end_ - pos_);
      end_ -= pos_;
      pos_ = 0;
    }
    std::size_t got = std::fread(buf_ + end_, 1, buffer_size - end_, file_);
    if (got == 0) {
      at_end_ = true;
      return false;
    }
    end_ += got;
  }
  return true;
}

}  // namespace platform
