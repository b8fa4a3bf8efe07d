// The number text, per number, for each conversion the program writes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "platform/number_text.h"

namespace {

std::vector<double> sample() {
  std::mt19937_64 g(5);
  std::uniform_real_distribution<double> u(-6, 6);
  std::vector<double> v(4096);
  for (double& x : v) x = std::pow(10.0, u(g));
  return v;
}

template <class F>
void run(benchmark::State& state, F put) {
  const std::vector<double> v = sample();
  char buf[platform::number_text_max];
  std::size_t i = 0;
  for (auto _ : state) {
    char* end = put(buf, v[i++ & 4095]);
    benchmark::DoNotOptimize(end);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_Exp14_5(benchmark::State& s) { run(s, [](char* b, double x) { return platform::put_exp(b, x, 14, 5); }); }
void BM_Exp14_4(benchmark::State& s) { run(s, [](char* b, double x) { return platform::put_exp(b, x, 14, 4); }); }
void BM_Exp8_4(benchmark::State& s) { run(s, [](char* b, double x) { return platform::put_exp(b, x, 8, 4); }); }
void BM_General12_5(benchmark::State& s) { run(s, [](char* b, double x) { return platform::put_general(b, x, 12, 5); }); }
void BM_FixedLf(benchmark::State& s) { run(s, [](char* b, double x) { return platform::put_fixed(b, x, 0, 6); }); }

BENCHMARK(BM_Exp14_5);
BENCHMARK(BM_Exp14_4);
BENCHMARK(BM_Exp8_4);
BENCHMARK(BM_General12_5);
BENCHMARK(BM_FixedLf);

}  // namespace
