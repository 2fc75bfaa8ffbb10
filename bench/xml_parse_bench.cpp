// The scene step (read the file, parse, build the tree, walk it for buttons, destroy it)
// against expat alone on the same bytes, and the XML writer against one fwrite.
//
// Run: build-rel/bench/xml_parse_bench [--large] [--sizes 1,10] [--runs N] [--animations MB]
//                                      [--dir DIR] [--cpus 0,1]
//   --large        adds the 500 MB scene
//   --animations   also a scene of MB megabytes of nothing but listed animations, cold only
//                  (medians of --runs processes)
//                  (1024 for 1 GB: its button block passes a buffer's capacity, and the step
//                  must say so within its time)
//   --cpus         runs every measurement on these processors only (a list such as 0 or
//                  0,1): on a virtual machine one processor can be much slower than the
//                  other for minutes, and a measurement then depends on where it ran
// Every cold figure comes from a fresh child process (this program started again), so it is
// the first parse of that process: the median of --runs processes (5 unless told), expat,
// the step and the tree in turn; warm figures are the best of the repeats that follow the
// first.
// Columns:
//   expat cold/warm   expat with no handlers: the file's bytes copied into its buffer, parsed
//                     (in blocks of 1 MiB from 1 GiB on, which expat's buffer cannot hold)
//   step cold/warm    CollectButtons on the file, as a conversion runs it (its tree keeps what
//                     the button walk reads: elements only, no lines, the attributes
//                     of animations only)
//   ratio             step / expat, cold and warm
//   peak/file         the step process's peak resident set over the file size (cold run)
//   step/file         the same without the process's resident set before the step (its
//                     program and libraries): what the step itself took
// and for the whole tree (XmlTree::ParseFile in mode 0: every node, attribute and line), cold
// in a fresh process:
//   tree              its time over expat's (cold)
//   peak/file         as for the step
//   B/node            growth of the resident set per node
//   destroy%          destroying the tree, as a share of building it
// The writer line: layout 0 of the 100 MB scene written with WriteToFile, against one fwrite
// (fopen, fwrite, fclose) of the same number of bytes, both the best of three in a process;
// the median ratio of --runs processes and its range.
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "base/file_handle.h"
#include "base/path_buffer.h"
#include "bench/bench_scene.h"
#include "bench/expat_floor.h"
#include "core/animation_buttons.h"
#include "core/button_block.h"
#include "platform/native_path.h"
#include "xml/xml_node.h"
#include "xml/xml_tree.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

uint64_t StatusKilobytes(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string name;
  while (status >> name) {
    if (name == key) {
      uint64_t kb = 0;
      status >> kb;
      return kb;
    }
    status.ignore(1 << 20, '\n');
  }
  return 0;
}

bool ReadWhole(const std::string& file, std::string* text) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

PathBuffer ScenePath(const std::string& file) {
  char view[4096];
  return PathBuffer(ProgramPathFromNative(file.c_str(), view, sizeof view) ? view : "");
}

// Child: one cold expat parse, then the best of `repeats` warm ones. Prints "cold warm".
int ChildExpat(const std::string& file, int repeats) {
  std::string text;
  if (!ReadWhole(file, &text)) return 1;
  double cold = 0, warm = 1e30;
  for (int i = 0; i <= repeats; ++i) {
    const auto start = Clock::now();
    if (!ExpatOnly(text)) return 1;
    const double s = Seconds(Clock::now() - start);
    if (i == 0)
      cold = s;
    else
      warm = std::min(warm, s);
  }
  std::printf("%.6f %.6f\n", cold, warm);
  return 0;
}

// Child: the step cold (with the peak resident set it reached) and warm. Prints "cold warm
// peakBytes baseBytes buttonsBytes outcome" (the outcome as its number; with no repeats, only
// the cold figures are taken).
int ChildStep(const std::string& file, int repeats) {
  const PathBuffer path = ScenePath(file);
  const uint64_t base = StatusKilobytes("VmRSS:") * 1024;
  auto start = Clock::now();
  ButtonBlock()->SetText(nullptr, -1, 0);
  const ButtonsOutcome outcome = CollectButtons(path);
  const double cold = Seconds(Clock::now() - start);
  const uint64_t peak = StatusKilobytes("VmHWM:") * 1024;
  const size_t buttons = ButtonBlock()->Length();
  double warm = 0;
  if (repeats > 0 && (outcome != ButtonsOutcome::Listed || buttons == 0)) return 1;
  for (int i = 0; i < repeats; ++i) {
    if (i == 0) warm = 1e30;
    ButtonBlock()->SetText(nullptr, -1, 0);
    start = Clock::now();
    CollectAnimationButtons(path);
    warm = std::min(warm, Seconds(Clock::now() - start));
  }
  std::printf("%.6f %.6f %llu %llu %zu %d\n", cold, warm, (unsigned long long)peak,
              (unsigned long long)base, buttons, static_cast<int>(outcome));
  return 0;
}

// Child: the whole tree, cold. Prints "seconds peakBytes baseBytes nodes destroySeconds".
int ChildTree(const std::string& file) {
  const PathBuffer path = ScenePath(file);
  const uint64_t base = StatusKilobytes("VmRSS:") * 1024;
  auto start = Clock::now();
  FileHandle handle(path);
  if (!handle.Open(0)) return 1;
  auto tree = std::make_unique<XmlTree>();
  if (tree->ParseFile(handle, path.path, 0) != XmlParseOutcome::Parsed) return 1;
  const double build = Seconds(Clock::now() - start);
  const uint64_t peak = StatusKilobytes("VmHWM:") * 1024;
  uint64_t nodes = 0;
  XmlNode* doc = tree->GetRoot()->GetFirstChild();
  for (XmlNode* n = doc->GetFirstChild(); n != nullptr; n = n->GetNextInDocument(doc, nullptr)) {
    ++nodes;
  }
  start = Clock::now();
  tree.reset();
  const double destroy = Seconds(Clock::now() - start);
  std::printf("%.6f %llu %llu %llu %.6f\n", build, (unsigned long long)peak,
              (unsigned long long)base, (unsigned long long)nodes, destroy);
  return 0;
}

// Child: the writer on the parsed file against one fwrite. Prints "writer fwrite bytes".
int ChildWriter(const std::string& file, const std::string& dir) {
  const PathBuffer path = ScenePath(file);
  FileHandle handle(path);
  if (!handle.Open(0)) return 1;
  XmlTree tree;
  if (tree.ParseFile(handle, path.path, 0) != XmlParseOutcome::Parsed) return 1;
  handle.Close();
  const std::string out = dir + "/xml_parse_bench_out.xml";
  const PathBuffer outPath = ScenePath(out);
  double writer = 1e30, plain = 1e30;
  std::string text;
  for (int i = 0; i < 3; ++i) {
    const auto start = Clock::now();
    if (!tree.WriteToFile(outPath, tree.GetRoot()->GetFirstChild(), 0)) return 1;
    writer = std::min(writer, Seconds(Clock::now() - start));
  }
  if (!ReadWhole(out, &text)) return 1;
  for (int i = 0; i < 3; ++i) {
    const auto start = Clock::now();
    FILE* f = std::fopen(out.c_str(), "wb");
    if (f == nullptr || std::fwrite(text.data(), 1, text.size(), f) != text.size()) return 1;
    std::fclose(f);
    plain = std::min(plain, Seconds(Clock::now() - start));
  }
  std::remove(out.c_str());
  std::printf("%.6f %.6f %zu\n", writer, plain, text.size());
  return 0;
}

// Runs this program again with `args` and reads the numbers it prints.
bool RunChild(const std::string& args, std::vector<double>* values) {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return false;
  self[n] = '\0';
  const std::string command = std::string("'") + self + "' " + args;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return false;
  double value = 0;
  values->clear();
  while (std::fscanf(pipe, "%lf", &value) == 1) values->push_back(value);
  return pclose(pipe) == 0 && !values->empty();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The scene of nothing but listed animations, cold only: prints the step's outcome, its time
// against expat's and its peak.
bool RunAnimationScene(int mb, int runs, const std::string& dir) {
  const std::string file = dir + "/xml_parse_bench_animations_" + std::to_string(mb) + "MB.krn";
  FILE* out = std::fopen(file.c_str(), "wb");
  unsigned long long animations = 0;
  const bool written = out != nullptr && WriteLargeScene("animations", (unsigned long long)mb << 20,
                                                         out, &animations);
  if (out != nullptr && std::fclose(out) != 0) return false;
  // Expat and the step in turn, `runs` times; the times are medians, the rest the last run's.
  std::vector<double> expat, step, expatTimes, stepTimes;
  bool ok = written;
  for (int run = 0; ok && run < runs; ++run) {
    ok = RunChild("--child expat '" + file + "' 0", &expat) && expat.size() >= 1 &&
         RunChild("--child step '" + file + "' 0", &step) && step.size() >= 6;
    if (ok) {
      expatTimes.push_back(expat[0]);
      stepTimes.push_back(step[0]);
    }
  }
  std::remove(file.c_str());
  if (!ok) {
    std::fprintf(stderr, "xml_parse_bench: the %d MB animation scene failed\n", mb);
    return false;
  }
  const double fileBytes = double(mb) * 1024 * 1024;
  const int outcome = static_cast<int>(step[5]);
  std::printf(
      "animations only, %d MB (%llu animations): expat %.2f s, step %.2f s, ratio %.2f "
      "(medians of %d), peak/file %.2f, step/file %.2f, %s (block %.0f MB)\n",
      mb, animations, Median(expatTimes), Median(stepTimes), Median(stepTimes) / Median(expatTimes),
      runs, step[2] / fileBytes, (step[2] - step[3]) / fileBytes,
      outcome == static_cast<int>(ButtonsOutcome::Listed)              ? "every button"
      : outcome == static_cast<int>(ButtonsOutcome::TooManyAnimations) ? "too many animations"
                                                                       : "failed",
      step[4] / (1024 * 1024));
  std::fflush(stdout);
  return true;
}

int Usage(int status) {
  std::fprintf(status == 0 ? stdout : stderr,
               "Usage: xml_parse_bench [--large] [--sizes MB,MB,...] [--runs N] [--animations MB] "
               "[--dir DIR] [--cpus N,N,...]\n");
  return status;
}

// Reads a list of numbers such as "0,1" into `numbers`; false when it is not one.
bool ReadNumbers(char* text, std::vector<int>* numbers) {
  numbers->clear();
  for (char* p = text; *p != '\0';) {
    char* after = p;
    const long n = std::strtol(p, &after, 10);
    if (after == p || n < 0) return false;
    numbers->push_back(static_cast<int>(n));
    p = after;
    if (*p == ',') {
      ++p;
    } else if (*p != '\0') {
      return false;
    }
  }
  return !numbers->empty();
}

// Keeps this process and the children it starts on `cpus`; false when the system refuses.
bool PinTo(const std::vector<int>& cpus) {
  cpu_set_t set;
  CPU_ZERO(&set);
  for (int cpu : cpus) {
    if (cpu >= CPU_SETSIZE) return false;
    CPU_SET(cpu, &set);
  }
  return sched_setaffinity(0, sizeof set, &set) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "--child") == 0) {
    const std::string mode = argv[2], file = argv[3];
    const int repeats = argc >= 5 ? std::atoi(argv[4]) : 3;
    if (mode == "expat") return ChildExpat(file, repeats);
    if (mode == "step") return ChildStep(file, repeats);
    if (mode == "tree") return ChildTree(file);
    if (mode == "writer") return ChildWriter(file, argc >= 5 ? argv[4] : "/tmp");
    return 2;
  }
  std::vector<int> sizes = {1, 10, 100};
  std::string dir = "/tmp";
  int animationMegabytes = 0;
  int runs = 5;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--large") == 0) {
      sizes.push_back(500);
    } else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
      if (runs <= 0) return Usage(2);
    } else if (std::strcmp(argv[i], "--sizes") == 0 && i + 1 < argc) {
      if (!ReadNumbers(argv[++i], &sizes)) return Usage(2);
    } else if (std::strcmp(argv[i], "--cpus") == 0 && i + 1 < argc) {
      std::vector<int> cpus;
      if (!ReadNumbers(argv[++i], &cpus)) return Usage(2);
      if (!PinTo(cpus)) {
        std::fprintf(stderr, "xml_parse_bench: cannot run on processors %s\n", argv[i]);
        return 1;
      }
      std::printf("on processors %s only\n", argv[i]);
    } else if (std::strcmp(argv[i], "--animations") == 0 && i + 1 < argc) {
      animationMegabytes = std::atoi(argv[++i]);
      if (animationMegabytes <= 0) return Usage(2);
    } else if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
      dir = argv[++i];
    } else if (std::strcmp(argv[i], "--help") == 0) {
      return Usage(0);
    } else {
      return Usage(2);
    }
  }
  std::printf("%5s %9s %9s %9s %9s %11s %9s %9s | %5s %9s %10s %7s %8s\n", "MB", "expat_c",
              "expat_w", "step_c", "step_w", "ratio_c/w", "peak/file", "step/file", "tree",
              "peak/file", "nodes", "B/node", "destroy%");
  std::string writerFile;
  for (int mb : sizes) {
    const std::string file = dir + "/xml_parse_bench_" + std::to_string(mb) + "MB.krn";
    const std::string text = MakeScene(size_t(mb) * 1024 * 1024);
    {
      std::ofstream out(file, std::ios::binary);
      out.write(text.data(), std::streamsize(text.size()));
      if (!out) {
        std::fprintf(stderr, "xml_parse_bench: cannot write %s\n", file.c_str());
        return 1;
      }
    }
    const int repeats = mb <= 10 ? 5 : (mb <= 100 ? 3 : 1);
    std::vector<double> expat, step, tree;
    const std::string quoted = " '" + file + "' " + std::to_string(repeats);
    if (!RunChild("--child expat" + quoted, &expat) || expat.size() < 2 ||
        !RunChild("--child step" + quoted, &step) || step.size() < 6 ||
        !RunChild("--child tree" + quoted, &tree) || tree.size() < 5) {
      std::fprintf(stderr, "xml_parse_bench: the %d MB run failed\n", mb);
      return 1;
    }
    // More fresh processes, expat and the step in turn: the cold figures are the medians.
    std::vector<double> expatCold = {expat[0]}, stepCold = {step[0]}, treeCold = {tree[0]};
    std::vector<double> more;
    for (int run = 1; run < runs; ++run) {
      const std::string once = " '" + file + "' 0";
      if (!RunChild("--child expat" + once, &more)) return 1;
      expatCold.push_back(more[0]);
      if (!RunChild("--child step" + once, &more)) return 1;
      stepCold.push_back(more[0]);
      if (!RunChild("--child tree" + once, &more)) return 1;
      treeCold.push_back(more[0]);
    }
    expat[0] = Median(expatCold);
    step[0] = Median(stepCold);
    tree[0] = Median(treeCold);
    const double fileBytes = double(text.size());
    std::printf(
        "%5d %8.1fms %8.1fms %8.1fms %8.1fms %5.2f/%-5.2f %9.2f %9.2f | %5.2f %9.2f %10.0f %7.1f "
        "%7.1f%%\n",
        mb, expat[0] * 1e3, expat[1] * 1e3, step[0] * 1e3, step[1] * 1e3, step[0] / expat[0],
        step[1] / expat[1], step[2] / fileBytes, (step[2] - step[3]) / fileBytes,
        tree[0] / expat[0], tree[1] / fileBytes, tree[3], (tree[1] - tree[2]) / tree[3],
        100 * tree[4] / tree[0]);
    std::fflush(stdout);
    if (mb == 100) writerFile = file;
    if (mb != 100 && std::getenv("XML_PARSE_BENCH_KEEP") == nullptr) std::remove(file.c_str());
  }
  if (animationMegabytes > 0 && !RunAnimationScene(animationMegabytes, runs, dir)) return 1;
  if (!writerFile.empty()) {
    // Each process gives one ratio (best of three each way); the line tells their median and
    // range over --runs processes.
    std::vector<double> writer, writerTimes, plainTimes, ratios;
    for (int run = 0; run < runs; ++run) {
      if (!RunChild("--child writer '" + writerFile + "' '" + dir + "'", &writer) ||
          writer.size() < 3) {
        std::fprintf(stderr, "xml_parse_bench: the writer run failed\n");
        return 1;
      }
      writerTimes.push_back(writer[0]);
      plainTimes.push_back(writer[1]);
      ratios.push_back(writer[0] / writer[1]);
    }
    std::printf(
        "writer layout 0, %.0f MB out: %.1f ms, one fwrite %.1f ms, ratio %.2f (%.2f to %.2f; "
        "medians of %d)\n",
        writer[2] / (1024 * 1024), Median(writerTimes) * 1e3, Median(plainTimes) * 1e3,
        Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
        *std::max_element(ratios.begin(), ratios.end()), runs);
    std::remove(writerFile.c_str());
  }
  return 0;
}
