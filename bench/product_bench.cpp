// The product at full size: every excitation point matching, none matching
// (the excitation lies above the response), and a shuffled response.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "platform/text_writer.h"
#include "product/product.h"

namespace {

func_table response, excitation;
product_table prod;
platform::text_writer out;

enum class shape { all_match, none_match, shuffled_response };

void prepare(shape s) {
  response.last = excitation.last = max_points - 1;
  for (std::int32_t i = 0; i < max_points; ++i) {
    response.freq[i] = 1 + i * 0.5;
    response.amp[i] = 1 + (i % 17);
    excitation.freq[i] = s == shape::none_match ? 1e6 + i : 1 + i * 0.5 + 0.25;
    excitation.amp[i] = 0.01;
  }
  if (s == shape::shuffled_response) {
    std::mt19937_64 g(3);
    std::shuffle(response.freq, response.freq + max_points, g);
  }
}

void run(benchmark::State& state, shape s) {
  prepare(s);
  for (auto _ : state) {
    out.open("/dev/null");
    mult_tables(response, excitation, out, prod);
    out.close();
  }
  state.SetItemsProcessed(state.iterations() * max_points);
}

void BM_MultTablesAllMatch(benchmark::State& state) { run(state, shape::all_match); }
void BM_MultTablesNoneMatch(benchmark::State& state) { run(state, shape::none_match); }
void BM_MultTablesShuffledResponse(benchmark::State& state) { run(state, shape::shuffled_response); }

BENCHMARK(BM_MultTablesAllMatch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MultTablesNoneMatch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MultTablesShuffledResponse)->Unit(benchmark::kMillisecond);

}  // namespace
