#include "text_writer.h"

#include <cerrno>

#include "file_identity.h"

namespace platform {

bool text_writer::open(const char* name) {
  used_ = 0;
  error_ = 0;
  failed_ = false;
  // A folder cannot be created over; Windows would call it a denied access.
  if (is_directory(name)) {
    error_ = EISDIR;
    failed_ = true;
    return false;
  }
  errno = 0;
  file_ = std::fopen(name, "w");
  if (file_ == nullptr) {
    error_ = errno != 0 ? errno : EINVAL;
    failed_ = true;
    return false;
  }
  // Our own buffer does the buffering; the stream writes straight through.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  return true;
}

void text_writer::write_through(std::string_view text) {
  if (file_ == nullptr || text.empty()) return;
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() && !failed_) {
    failed_ = true;
    error_ = errno != 0 ? errno : EIO;
  }
}

void text_writer::flush_buffer() {
  write_through(std::string_view(buf_, used_));
  used_ = 0;
}

bool text_writer::close() {
  if (file_ == nullptr) return false;
  flush_buffer();
  errno = 0;
  if (std::fclose(file_) != 0 && !failed_) {
    failed_ = true;
    error_ = errno != 0 ? errno : EIO;
  }
  file_ = nullptr;
  return !failed_;
}

}  // namespace platform
