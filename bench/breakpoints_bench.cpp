// The simplified breakpoints at full size (200,000 product points) written
// to a file: a single power law, where only two lines come out, and a zigzag
// whose slope changes at every point, so every point is a line in the file
// and on the console (the console is sent to /dev/null while timing).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "platform/text_writer.h"
#include "product/product.h"

namespace {

product_table prod;
double exc_freq[max_points];
platform::text_writer out;

enum class shape { power_law, zigzag };

void prepare(shape s) {
  for (std::int32_t i = 0; i < max_points; ++i) {
    const double f = 1 + i * 0.5;
    exc_freq[i] = f;
    prod.freq[i] = f;
    prod.amp[i] = s == shape::power_law ? 3 * f * f : (i % 2 == 0 ? 1.0 : 2.0) * f;
  }
}

// Standard output to /dev/null for the life of the object.
class quiet_console {
 public:
  quiet_console() {
    std::fflush(stdout);
    saved_ = dup(1);
    const int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, 1);
    close(null_fd);
  }
  ~quiet_console() {
    std::fflush(stdout);
    dup2(saved_, 1);
    close(saved_);
  }

 private:
  int saved_;
};

void run(benchmark::State& state, shape s) {
  prepare(s);
  const std::string path = "/tmp/vantor_breakpoints_bench_" + std::to_string(getpid());
  {
    quiet_console quiet;
    for (auto _ : state) {
      out.open(path.c_str());
      simplify_breakpoints(prod, exc_freq, max_points - 1, out);
      if (!out.close()) state.SkipWithError("write failed");
    }
  }
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * max_points);
}

void BM_BreakpointsPowerLaw(benchmark::State& state) { run(state, shape::power_law); }
void BM_BreakpointsEveryPointSelected(benchmark::State& state) { run(state, shape::zigzag); }

BENCHMARK(BM_BreakpointsPowerLaw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BreakpointsEveryPointSelected)->Unit(benchmark::kMillisecond);

}  // namespace
