// Page assembly costs: filling a page with many placeholders, and collecting
// the buttons of a scene with many animations. Both should grow linearly.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/animation_buttons.h"
#include "core/button_block.h"
#include "core/template_fields.h"

namespace {

void BM_ReplaceManyPlaceholders(benchmark::State& state) {
  std::string text;
  for (int64_t i = 0; i < state.range(0); ++i) text += "<p>((KWB))TITLE::x((KWB))</p>\n";
  for (auto _ : state) {
    StringBuffer page;
    page.SetText(text.c_str(), -1, 0);
    benchmark::DoNotOptimize(ReplaceAllPlaceholders(page, "TITLE", "A longer title"));
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReplaceManyPlaceholders)->RangeMultiplier(4)->Range(256, 16384)->Complexity();

void BM_CollectManyAnimations(benchmark::State& state) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("krnbench-" + std::to_string(state.range(0)) + ".krn");
  {
    std::ofstream out(file, std::ios::binary);
    out << "<Scene>";
    for (int64_t i = 0; i < state.range(0); ++i) {
      out << "<KRSTimeElem Name=\"Anim" << i << "\" On=\"0\"" << (i % 2 ? " Clamp=\"0\"" : "")
          << "/>";
    }
    out << "</Scene>";
  }
  PathBuffer path(("Z:" + file.string()).c_str());
  for (char* p = path.path; *p != '\0'; ++p) {
    if (*p == '/') *p = '\\';
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(CollectAnimationButtons(path));
  }
  std::filesystem::remove(file);
  ButtonBlock()->Reset();
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CollectManyAnimations)->RangeMultiplier(4)->Range(256, 16384)->Complexity();

}  // namespace

BENCHMARK_MAIN();
