// The scenes the XML benchmarks parse: shared by bench/xml_parse_bench and the 32-bit
// measurement and limit test under Wine (tests/win32/scene_limit).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// A scene of nested groups: transforms, meshes with vertex text, and KRSTimeElem elements
// with the attributes the converter reads, indented with white space as editors write it.
inline std::string MakeScene(size_t targetBytes) {
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

// Writes a large scene of about `targetBytes` to `out` without holding it in memory and sets
// `animations` to the number of listed animations in it. "animations": nothing but listed
// KRSTimeElem lines. "geometry": meshes with long vertex lines and one animation per mesh.
inline bool WriteLargeScene(const std::string& kind, unsigned long long targetBytes, FILE* out,
                            unsigned long long* animations) {
  std::string block;
  block.reserve(1 << 20);
  block = "<?xml version=\"1.0\"?>\r\n<KRNScene Name=\"limit\">\r\n";
  unsigned long long written = 0;
  unsigned long long n = 0;
  char line[512];
  std::string vertices;
  for (int i = 0; i < 40; ++i) vertices += "0.125 -1.5 2.25 ";
  bool ok = true;
  while (ok && written + block.size() < targetBytes) {
    ++n;
    if (kind == "animations") {
      std::snprintf(line, sizeof line, "<KRSTimeElem Name=\"anim%010llu\" On=\"0\"/>\r\n", n);
      block += line;
    } else {
      std::snprintf(line, sizeof line, "<Mesh Name=\"mesh%llu\">\r\n", n);
      block += line;
      for (int i = 0; i < 16; ++i) block += "<Vertices>" + vertices + "</Vertices>\r\n";
      std::snprintf(line, sizeof line, "<KRSTimeElem Name=\"spin%llu\" On=\"0\"/>\r\n</Mesh>\r\n",
                    n);
      block += line;
    }
    if (block.size() >= (1u << 20) - 4096) {
      ok = std::fwrite(block.data(), 1, block.size(), out) == block.size();
      written += block.size();
      block.clear();
    }
  }
  block += "</KRNScene>\r\n";
  ok = ok && std::fwrite(block.data(), 1, block.size(), out) == block.size();
  *animations = n;
  return ok;
}
