// The two-column reader on a full-size file, in bytes per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "tables/tables.h"

namespace {

func_table table;

void BM_ReadTable(benchmark::State& state) {
  std::FILE* f = std::tmpfile();
  long bytes = 0;
  for (int i = 0; i < max_points; ++i) {
    bytes += std::fprintf(f, "%.6e %.6e\n", 10.0 + i * 0.0995, 1e-3 * (1 + i % 1000));
  }
  for (auto _ : state) {
    std::rewind(f);
    read_table(f, table);
    benchmark::DoNotOptimize(table.last);
  }
  std::fclose(f);
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_ReadTable)->Unit(benchmark::kMillisecond);

}  // namespace
