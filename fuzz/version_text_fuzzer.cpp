// Version text: the ProductVersion text packed into 32 bits, and the same bytes read as a
// program file whose version block the system backend looks for.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/path_record.h"
#include "base/version_info.h"
#include "fuzz/fuzz_check.h"
#include "platform/native_path.h"

namespace {

// A plain version "a, b, c, d" (numbers 0-255 without sign or padding) packs exactly.
bool PlainVersion(const std::string& text, uint32_t& packed) {
  packed = 0;
  size_t at = 0;
  for (int field = 0; field < 4; ++field) {
    if (field > 0) {
      if (text.compare(at, 2, ", ") != 0) return false;
      at += 2;
    }
    size_t digits = 0;
    unsigned value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
      value = value * 10 + static_cast<unsigned>(text[at] - '0');
      ++at;
      ++digits;
    }
    if (digits == 0 || value > 255) return false;
    packed = packed << 8 | value;
  }
  return at == text.size();
}

// A file in a folder of its own, removed at exit.
const std::string& ScratchFile() {
  static const std::string file = [] {
    char folder[] = "/tmp/krn_fuzz_version_XXXXXX";
    if (mkdtemp(folder) == nullptr) std::abort();
    static std::string made = folder;
    std::atexit([] { std::remove((made + "/program").c_str()), rmdir(made.c_str()); });
    return made + "/program";
  }();
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string text = input.c_str();
  const uint32_t packed = ParseProductVersion(text.c_str());
  uint32_t expected = 0;
  if (PlainVersion(text, expected)) {
    FUZZ_CHECK(packed == expected, "%s packed as %08X, not %08X", fuzz::Shown(text).c_str(), packed,
               expected);
  }
  if (text.size() >= 2) {
    const int pair = HexPairValue(text.c_str());
    const bool hex = std::strchr("0123456789ABCDEFabcdef", text[0]) != nullptr &&
                     std::strchr("0123456789ABCDEFabcdef", text[1]) != nullptr;
    if (hex) FUZZ_CHECK(pair >= 0 && pair <= 255, "%s read as %d", text.substr(0, 2).c_str(), pair);
  }

  // The same bytes as a program file: any answer is fine, as long as reading is safe.
  FILE* file = std::fopen(ScratchFile().c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  char program[kPathSize];
  if (ProgramPathFromNative(ScratchFile().c_str(), program, sizeof program)) {
    PathRecord record;
    record.SetPath(program);
    ReadProductVersion(record);
  }
  return 0;
}
