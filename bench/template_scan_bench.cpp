// Template scan cost: ScanFieldText over templates of many fields, with few or with only
// distinct names. Each run also measures a floor on the same text, a plain pass that finds
// every field delimiter with strstr, and reports the scan's time as a ratio to it:
//   ratio_vs_floor   scan time / floor time, same text, same run
//   floor_ms         the floor's time per text
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>

#include "base/string_list.h"
#include "core/template_fields.h"

namespace {

// A page with `fields` fields between short runs of markup; with `distinct`, every field has
// its own name, otherwise they cycle through eight names.
std::string MakeTemplate(int64_t fields, bool distinct) {
  std::string text = "<html><body>\n";
  for (int64_t i = 0; i < fields; ++i) {
    const int64_t id = distinct ? i : i % 8;
    text += "<p>((KWB))FIELD" + std::to_string(id);
    if (i % 3 == 0) text += "::default text " + std::to_string(i);
    text += "((KWB))</p>\n";
  }
  return text + "</body></html>\n";
}

// The least any scan does: find every delimiter once.
size_t CountDelimiters(const char* text) {
  size_t count = 0;
  for (const char* p = std::strstr(text, kFieldDelimiter); p != nullptr;
       p = std::strstr(p + kFieldDelimiterLength, kFieldDelimiter)) {
    ++count;
  }
  return count;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void BM_ScanFieldText(benchmark::State& state) {
  const std::string text = MakeTemplate(state.range(0), state.range(1) != 0);
  double scanSeconds = 0;
  double floorSeconds = 0;
  int fields = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(CountDelimiters(text.c_str()));
    const auto middle = std::chrono::steady_clock::now();
    StringList names;
    StringList values;
    int longest = 0;
    ScanFieldText(text.c_str(), names, values, longest);
    const auto end = std::chrono::steady_clock::now();
    fields = names.count;
    floorSeconds += Seconds(middle - start);
    scanSeconds += Seconds(end - middle);
    state.SetIterationTime(Seconds(end - middle));
  }
  state.counters["fields_found"] = fields;
  state.counters["floor_ms"] = floorSeconds * 1000 / double(state.iterations());
  state.counters["ratio_vs_floor"] = floorSeconds > 0 ? scanSeconds / floorSeconds : 0;
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ScanFieldText)
    ->ArgsProduct({{10000, 40000, 100000, 160000}, {0, 1}})
    ->ArgNames({"fields", "distinct"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
