// Paths: the relative path of a page to its scene, and the Linux path view both ways.
// Input: the base path, a line feed, the target path (the first line is also taken as a
// native and as a program path for the path view).
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/path_buffer.h"
#include "base/relative_path.h"
#include "base/string_buffer.h"
#include "fuzz/fuzz_check.h"
#include "platform/native_path.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

// A plain absolute path: a drive letter, ':', and '\'-separated names without '/' or ':',
// none empty, "." or "..", the last one a file name.
bool IsPlainPath(const std::string& path) {
  if (path.size() < 4 || path.size() >= 1035) return false;
  const char drive = path[0];
  if (!((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z'))) return false;
  if (path[1] != ':' || path[2] != '\\') return false;
  for (const std::string& part : Split(path.substr(3), '\\')) {
    if (part.empty() || part == "." || part == "..") return false;
    if (part.find_first_of("/:") != std::string::npos) return false;
  }
  return true;
}

// The folder of base followed by the relative path, with "." and ".." resolved.
std::string Resolve(const std::string& base, const std::string& relative) {
  std::vector<std::string> parts = Split(base.substr(0, base.rfind('\\')), '\\');
  for (const std::string& part : Split(relative, '/')) {
    if (part == ".") continue;
    if (part == "..") {
      if (parts.size() > 1) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string out;
  for (const std::string& part : parts) out += (out.empty() ? "" : "\\") + part;
  return out;
}

void CheckRelativePath(const std::string& base, const std::string& target) {
  StringBuffer baseText;
  StringBuffer targetText;
  StringBuffer out;
  if (!baseText.SetText(base.c_str(), -1, 0) || !targetText.SetText(target.c_str(), -1, 0)) return;
  MakeRelativePath(baseText, targetText, out);
  const std::string result = out.Data() != nullptr ? out.Data() : "";
  if (std::strlen(target.c_str()) >= 1035) {
    FUZZ_CHECK(result == "ERROR: The path is too long!", "long target gave %s",
               fuzz::Shown(result).c_str());
    return;
  }
  if (!IsPlainPath(base) || !IsPlainPath(target) || base[0] != target[0]) return;
  FUZZ_CHECK(result.find('\\') == std::string::npos && result.find(':') == std::string::npos,
             "same drive must give a relative path: base %s target %s gave %s",
             fuzz::Shown(base).c_str(), fuzz::Shown(target).c_str(), fuzz::Shown(result).c_str());
  FUZZ_CHECK(Resolve(base, result) == target, "base %s with %s leads to %s, not to %s",
             fuzz::Shown(base).c_str(), fuzz::Shown(result).c_str(),
             fuzz::Shown(Resolve(base, result)).c_str(), fuzz::Shown(target).c_str());
}

void CheckPathView(const std::string& path) {
  char program[kPathSize];
  char native[kPathSize];
  // Absolute native paths without '\' come back unchanged.
  const bool inFits = ProgramPathFromNative(path.c_str(), program, sizeof program);
  FUZZ_CHECK(inFits || program[0] == '\0', "a failed view must leave an empty text");
  // A '\' in a native name has no view: never taken for a separator.
  FUZZ_CHECK(!inFits || path.find('\\') == std::string::npos, "%s got the view %s",
             fuzz::Shown(path).c_str(), fuzz::Shown(program).c_str());
  if (inFits && path[0] == '/' && path.find('\\') == std::string::npos) {
    FUZZ_CHECK(std::strncmp(program, "Z:\\", 3) == 0, "absolute %s gave %s",
               fuzz::Shown(path).c_str(), fuzz::Shown(program).c_str());
    FUZZ_CHECK(NativePathFromProgram(program, native, sizeof native), "no way back");
    FUZZ_CHECK(path == native, "%s came back as %s", fuzz::Shown(path).c_str(),
               fuzz::Shown(native).c_str());
  }
  // Program paths on drive Z: without '/' come back unchanged, when the program can hold them
  // (the native form is two characters shorter, so it may fit where the program path does not).
  const bool outFits = NativePathFromProgram(path.c_str(), native, sizeof native);
  FUZZ_CHECK(outFits || native[0] == '\0', "a failed view must leave an empty text");
  if (outFits && path.size() < sizeof program && path.rfind("Z:\\", 0) == 0 &&
      path.find('/') == std::string::npos) {
    FUZZ_CHECK(ProgramPathFromNative(native, program, sizeof program), "no way back");
    FUZZ_CHECK(path == program, "%s came back as %s", fuzz::Shown(path).c_str(),
               fuzz::Shown(program).c_str());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t lineEnd = input.find('\n');
  // Texts end at their first zero byte, as in the program.
  const std::string base = input.substr(0, lineEnd).c_str();
  const std::string target =
      lineEnd == std::string::npos ? std::string() : input.substr(lineEnd + 1).c_str();
  CheckRelativePath(base, target);
  CheckPathView(base);
  return 0;
}
