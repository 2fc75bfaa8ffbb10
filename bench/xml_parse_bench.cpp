// Parsing a scene-like document into an XmlTree, against expat alone on the same bytes.
//
// Run: build/bench/xml_parse_bench [--benchmark_filter=...]
// Counters:
//   ratio_vs_expat   tree-building parse time / expat with no handlers, same bytes, same run
//   nodes            nodes built under the document node
//   peak_rss_MB      the process's peak resident set during the parse (VmHWM, reset before)
//   attr_peak_MB     the toolkit allocator's peak bytes while parsing (attribute arrays)
//   bytes_per_node   growth of the resident set over the parse, per node
//   attr_bytes_per_element  toolkit allocator peak per element with attributes
#include <benchmark/benchmark.h>
#include <expat.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

#include "base/string_buffer.h"
#include "ui/toolkit_runtime.h"
#include "xml/xml_node.h"
#include "xml/xml_tree.h"
#include "xml/xml_writer.h"

namespace {

// A scene of nested groups: transforms, meshes with vertex text, and KRSTimeElem elements
// with the attributes the converter reads, indented with white space as editors write it.
std::string MakeScene(size_t targetBytes) {
  std::string out;
  out.reserve(targetBytes + 4096);
  out += "<?xml version=\"1.0\"?>\n<KRNScene Name=\"bench\" Version=\"2\">\n";
  char line[512];
  unsigned group = 0;
  while (out.size() < targetBytes) {
    ++group;
    std::snprintf(line, sizeof line, "  <Group Name=\"group%u\" Visible=\"1\">\n", group);
    out += line;
    for (unsigned sub = 0; sub < 3; ++sub) {
      std::snprintf(line, sizeof line,
                    "    <Group Name=\"part%u_%u\">\n"
                    "      <Transform Position=\"%u.5 2.25 -3\" Rotation=\"0 %u 0\" "
                    "Scale=\"1 1 1\"/>\n"
                    "      <Mesh Name=\"mesh%u_%u\">\n"
                    "        <Vertices>0 0 0 1 0 0 1 1 0 0 1 0</Vertices>\n"
                    "      </Mesh>\n",
                    group, sub, group % 97, (group * 7) % 360, group, sub);
      out += line;
      for (unsigned anim = 0; anim < 2; ++anim) {
        std::snprintf(line, sizeof line,
                      "      <KRSTimeElem Name=\"anim%u_%u_%u\" On=\"%u\" Clamp=\"%u\" "
                      "Start=\"0.000\" End=\"2.500\"/>\n",
                      group, sub, anim, anim, (group + anim) % 2);
        out += line;
      }
      out += "    </Group>\n";
    }
    out += "  </Group>\n";
  }
  out += "</KRNScene>\n";
  return out;
}

const std::string& Scene(int megabytes) {
  static std::map<int, std::string> scenes;
  auto found = scenes.find(megabytes);
  if (found == scenes.end()) {
    found = scenes.emplace(megabytes, MakeScene(size_t(megabytes) * 1024 * 1024)).first;
  }
  return found->second;
}

// Peak resident set in bytes: VmHWM, which ResetPeakRss restarts; getrusage otherwise.
void ResetPeakRss() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
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

uint64_t PeakRssBytes() {
  uint64_t kb = StatusKilobytes("VmHWM:");
  if (kb == 0) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    kb = static_cast<uint64_t>(usage.ru_maxrss);
  }
  return kb * 1024;
}

uint64_t RssBytes() {
  return StatusKilobytes("VmRSS:") * 1024;
}

bool ExpatOnly(const std::string& text) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  if (parser == nullptr) return false;
  const int length = static_cast<int>(text.size());
  void* buffer = XML_GetBuffer(parser, length);
  bool ok = buffer != nullptr;
  if (ok) {
    std::memcpy(buffer, text.data(), text.size());
    ok = XML_ParseBuffer(parser, length, 1) != XML_STATUS_ERROR;
  }
  XML_ParserFree(parser);
  return ok;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// The faster of three expat-only parses of the text.
double ExpatSeconds(const std::string& text) {
  double best = 1e30;
  for (int i = 0; i < 3; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!ExpatOnly(text)) return 0;
    best = std::min(best, Seconds(std::chrono::steady_clock::now() - start));
  }
  return best;
}

struct TreeCounts {
  uint64_t nodes = 0;
  uint64_t elementsWithAttributes = 0;
};

TreeCounts Count(XmlNode* doc) {
  TreeCounts counts;
  for (XmlNode* n = doc->GetFirstChild(); n != nullptr; n = n->GetNextInDocument(doc, nullptr)) {
    ++counts.nodes;
    if (n->GetAttributeCount() > 0) ++counts.elementsWithAttributes;
  }
  return counts;
}

void BM_ParseIntoTree(benchmark::State& state) {
  const std::string& text = Scene(static_cast<int>(state.range(0)));
  ToolkitStart(nullptr, false);
  ToolkitContext* context = GetToolkitContext();
  const double expat = ExpatSeconds(text);
  if (expat <= 0) state.SkipWithError("expat could not parse the scene");

  double treeSeconds = 0;
  uint64_t peakRss = 0, rssGrowth = 0, attributePeak = 0;
  TreeCounts counts;
  for (auto _ : state) {
    state.PauseTiming();
    auto* tree = new XmlTree();
    ResetPeakRss();
    const uint64_t rssBefore = RssBytes();
    const uint32_t toolkitBefore = context != nullptr ? uint32_t(context->bytesInUse) : 0;
    if (context != nullptr) context->peakBytes = toolkitBefore;
    state.ResumeTiming();

    const auto start = std::chrono::steady_clock::now();
    const bool ok = tree->Parse(text.data(), static_cast<int32_t>(text.size()), "bench.krn", 0);
    treeSeconds += Seconds(std::chrono::steady_clock::now() - start);

    state.PauseTiming();
    if (!ok) state.SkipWithError("the scene did not parse");
    peakRss = PeakRssBytes();
    rssGrowth = RssBytes() - std::min(RssBytes(), rssBefore);
    if (context != nullptr) attributePeak = context->peakBytes - toolkitBefore;
    counts = Count(tree->GetRoot()->GetFirstChild());
    delete tree;
    state.ResumeTiming();
  }
  const double perParse = treeSeconds / double(state.iterations());
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
  state.counters["ratio_vs_expat"] = expat > 0 ? perParse / expat : 0;
  state.counters["expat_ms"] = expat * 1000;
  state.counters["nodes"] = double(counts.nodes);
  state.counters["peak_rss_MB"] = double(peakRss) / (1024 * 1024);
  state.counters["attr_peak_MB"] = double(attributePeak) / (1024 * 1024);
  state.counters["bytes_per_node"] = counts.nodes ? double(rssGrowth) / double(counts.nodes) : 0;
  state.counters["attr_bytes_per_element"] =
      counts.elementsWithAttributes ? double(attributePeak) / double(counts.elementsWithAttributes)
                                    : 0;
  ToolkitStop();
}
BENCHMARK(BM_ParseIntoTree)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExpatNoHandlers(benchmark::State& state) {
  const std::string& text = Scene(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (!ExpatOnly(text)) state.SkipWithError("expat could not parse the scene");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_ExpatNoHandlers)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

// Writing layout 0: its cost must grow linearly with the output.
void BM_WriteLayout0(benchmark::State& state) {
  const std::string& text = Scene(static_cast<int>(state.range(0)));
  XmlTree tree;
  if (!tree.Parse(text.data(), static_cast<int32_t>(text.size()), "bench.krn", 0)) {
    state.SkipWithError("the scene did not parse");
    return;
  }
  uint32_t length = 0;
  for (auto _ : state) {
    StringBuffer out;
    if (!BuildXmlText(tree.GetRoot()->GetFirstChild(), 0, &out, &length)) {
      state.SkipWithError("the writer failed");
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(length));
}
BENCHMARK(BM_WriteLayout0)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
