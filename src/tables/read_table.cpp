#include "platform/decimal_scan.h"
#include "platform/file_reader.h"
#include "tables/tables.h"

namespace {
// One reader for the whole run: its buffer is large, and the files are read
// one after the other.
platform::file_reader reader;
}  // namespace

void read_table(std::FILE* f, func_table& t) {
  platform::file_reader& in = reader;
  in.reset(f);
  std::int32_t n = 0;
  while (n < max_points) {
    platform::skip_space(in);
    if (!platform::scan_decimal(in, t.freq[n])) break;
    platform::skip_space(in);
    platform::scan_decimal(in, t.amp[n]);  // a missing amplitude keeps its 0
    ++n;
  }
  t.last = n - 1;
}
