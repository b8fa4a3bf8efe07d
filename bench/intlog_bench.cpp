// intlog on a full table: 200,000 points resampled onto a grid of about
// 199,990 points, for a table in ascending order and for the same table with
// its inner points shuffled (first and last kept, so the grid is the same).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <random>

#include "tables/tables.h"

namespace {

func_table input;
func_table work;

void make_input(bool shuffled) {
  for (std::int32_t k = 0; k < max_points; ++k) {
    input.freq[k] = 1.0 + k;
    input.amp[k] = 1.0 + (k % 97) * 0.5;
  }
  if (shuffled) {
    std::mt19937 rng(7);
    std::shuffle(input.freq + 1, input.freq + max_points - 1, rng);
  }
  input.last = max_points - 1;
}

// intlog's trace lines would mix with the report: they go to /dev/null while
// the benchmark runs.
class quiet_stdout {
 public:
  quiet_stdout() {
    std::cout.flush();
    std::fflush(stdout);
    saved_ = dup(1);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    close(null);
  }
  ~quiet_stdout() {
    std::fflush(stdout);
    dup2(saved_, 1);
    close(saved_);
  }

 private:
  int saved_;
};

void run(benchmark::State& state, bool shuffled) {
  make_input(shuffled);
  // (200000 - 1) / 199989 steps: q is just below 199989, nn 199989.
  bandwidth = (input.freq[max_points - 1] - input.freq[0]) / 199988.5;
  quiet_stdout quiet;
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(input.freq, input.freq + max_points, work.freq);
    std::copy(input.amp, input.amp + max_points, work.amp);
    work.last = input.last;
    state.ResumeTiming();
    intlog(work.freq, work.amp, work.last);
    benchmark::DoNotOptimize(work.last);
  }
  state.counters["last"] = work.last;
}

void BM_intlog_ascending(benchmark::State& state) { run(state, false); }
void BM_intlog_shuffled(benchmark::State& state) { run(state, true); }

BENCHMARK(BM_intlog_ascending)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_intlog_shuffled)->Unit(benchmark::kMillisecond);

}  // namespace
