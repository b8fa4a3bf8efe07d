// What the file system says about names, beyond whether they open.
#pragma once

namespace platform {

// True when the name designates a directory.
bool is_directory(const char* name);

// True when both names designate the same existing file, whatever path or
// link leads to it.
bool same_file(const char* a, const char* b);

}  // namespace platform
