// Appending to a StringBuffer the way the XML writer does: many short appends.
#include <benchmark/benchmark.h>

#include "base/string_buffer.h"

namespace {

// One character at a time at a position the caller keeps: amortised constant per append.
void AppendKeepingLength(benchmark::State& state) {
  const unsigned count = unsigned(state.range(0));
  for (auto _ : state) {
    StringBuffer b;
    unsigned length = 0;
    for (unsigned i = 0; i < count; ++i) b.Fill('\t', 1, length++);
    benchmark::DoNotOptimize(b.Data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(AppendKeepingLength)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();

// Short texts appended at Length: each append also scans the text once.
void AppendAtLength(benchmark::State& state) {
  const unsigned count = unsigned(state.range(0));
  for (auto _ : state) {
    StringBuffer b;
    for (unsigned i = 0; i < count; ++i) b.SetText("<node>", -1, b.Length());
    benchmark::DoNotOptimize(b.Data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(AppendAtLength)->RangeMultiplier(4)->Range(1 << 8, 1 << 12)->Complexity();

// Formatting a real number and trimming its zeros, as the XML model writes numbers.
void FormatAndTrim(benchmark::State& state) {
  StringBuffer b;
  double value = 0.5;
  for (auto _ : state) {
    b.Format("%.5f", value);
    b.TrimFractionZeros();
    value += 0.25;
    benchmark::DoNotOptimize(b.Data());
  }
}
BENCHMARK(FormatAndTrim);

}  // namespace

BENCHMARK_MAIN();
