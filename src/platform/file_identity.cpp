#include "file_identity.h"

#include <filesystem>
#include <system_error>

namespace platform {

bool is_directory(const char* name) {
  std::error_code ec;
  return std::filesystem::is_directory(name, ec);
}

bool same_file(const char* a, const char* b) {
  std::error_code ec;
  bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

}  // namespace platform
