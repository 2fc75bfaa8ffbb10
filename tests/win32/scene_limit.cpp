// The scene step of the Windows program (32- or 64-bit) on large scenes: makes a scene file,
// reads it for its animation buttons as a conversion does, and tells how that ended, how long
// it took and how much memory the process reached. Used by the limit test (tests/win32/large) and
// by scripts/measure-windows-scenes.sh.
//
//   scene_limit make animations|geometry|bench MB FILE   writes a scene of about MB megabytes
//                            and prints how many animations it lists (0 for bench, the
//                            scene of bench/xml_parse_bench)
//   scene_limit step FILE      prints: outcome lines seconds peak_MB base_MB (the working set
//                              before the step: the program and Wine's libraries)
//   scene_limit expat FILE     prints: seconds (expat alone, no handlers, on the same bytes
//                              copied into its buffer, as bench/xml_parse_bench takes it)
#include <windows.h>
// psapi after windows.h, which it needs.
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/path_buffer.h"
#include "bench/bench_scene.h"
#include "bench/expat_floor.h"
#include "core/animation_buttons.h"
#include "core/button_block.h"

namespace {

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

// The process's peak working set, or its working set now.
double WorkingSetMegabytes(bool peak) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return double(peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize) / (1024 * 1024);
}

// Writes a scene of about `megabytes` MB: "bench", or one of WriteLargeScene.
bool MakeSceneFile(const std::string& kind, unsigned megabytes, const char* file) {
  FILE* out = std::fopen(file, "wb");
  if (out == nullptr) return false;
  if (kind == "bench") {
    const std::string text = MakeScene(size_t(megabytes) * 1024 * 1024);
    const bool ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (std::fclose(out) != 0 || !ok) return false;
    std::printf("0\n");
    return true;
  }
  unsigned long long n = 0;
  bool ok = WriteLargeScene(kind, (unsigned long long)megabytes * 1024 * 1024, out, &n);
  ok = std::fclose(out) == 0 && ok;
  if (ok) std::printf("%llu\n", n);
  return ok;
}

const char* OutcomeName(ButtonsOutcome outcome) {
  switch (outcome) {
    case ButtonsOutcome::Listed:
      return "Listed";
    case ButtonsOutcome::NotScanned:
      return "NotScanned";
    case ButtonsOutcome::NotParsed:
      return "NotParsed";
    case ButtonsOutcome::Unreadable:
      return "Unreadable";
    case ButtonsOutcome::OutOfMemory:
      return "OutOfMemory";
    case ButtonsOutcome::TooManyAnimations:
      return "TooManyAnimations";
  }
  return "?";
}

int Step(const char* file) {
  const PathBuffer path(file);
  const double base = WorkingSetMegabytes(false);
  const double start = Now();
  const ButtonsOutcome outcome = CollectButtons(path);
  const double seconds = Now() - start;
  unsigned long long lines = 0;
  if (const char* text = ButtonBlock()->Data()) {
    for (; *text != '\0'; ++text) lines += *text == '\n';
  }
  std::printf("%s %llu %.4f %.1f %.1f\n", OutcomeName(outcome), lines, seconds,
              WorkingSetMegabytes(true), base);
  return 0;
}

int Expat(const char* file) {
  std::string text;
  FILE* in = std::fopen(file, "rb");
  if (in == nullptr) return 1;
  char block[1 << 16];
  for (size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;) text.append(block, got);
  std::fclose(in);
  const double start = Now();
  const bool ok = ExpatOnly(text);
  const double seconds = Now() - start;
  std::printf("%.4f\n", seconds);
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "make") == 0) {
    return MakeSceneFile(argv[2], unsigned(std::atoi(argv[3])), argv[4]) ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "step") == 0) return Step(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "expat") == 0) return Expat(argv[2]);
  std::fprintf(
      stderr,
      "usage: scene_limit make animations|geometry|bench MB FILE | step FILE | expat FILE\n");
  return 2;
}
