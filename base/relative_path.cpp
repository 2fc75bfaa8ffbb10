#include "base/relative_path.h"

#include <cstring>
#include <string_view>

#include "base/path_split.h"

namespace {

constexpr unsigned kLongestTarget = 1034;
constexpr char kTooLong[] = "ERROR: The path is too long!";

// A separator of TD at index i: '\' or '/', or the drive's own colon (the second character).
// Any other ':' is part of a name (a Linux folder may be called "a:b").
bool IsSeparatorAt(std::string_view td, size_t i) {
  return IsSlash(td[i]) || (i == 1 && td[i] == ':');
}

// Appends text to out; false when memory runs out.
bool Append(StringBuffer& out, std::string_view text) {
  if (text.empty()) return true;
  return out.SetText(text.data(), int(text.size()), out.Length());
}

// Appends "..\" for every '\' or '/' of base from index k to its end.
bool AppendUpLevels(StringBuffer& out, std::string_view base, size_t k) {
  for (size_t j = k; j < base.size(); ++j) {
    if (IsSlash(base[j]) && !Append(out, "..\\")) return false;
  }
  return true;
}

// Builds the relative path of target seen from base into result; false when memory runs out.
bool Relate(std::string_view base, std::string_view target, const char* targetText,
            StringBuffer& result, bool& converted) {
  converted = false;
  // TD: drive and directory of the target, the directory ending with its separator.
  const PathSpans spans = SplitPathSpans(targetText);
  StringBuffer folder;
  if (spans.driveLength != 0) {
    const char drive[2] = {target[0], ':'};
    if (!Append(folder, std::string_view(drive, 2))) return false;
  }
  if (spans.directoryLength != 0) {
    if (!Append(folder, target.substr(spans.directoryStart, spans.directoryLength))) return false;
    if (!IsSlash(target[spans.directoryStart + spans.directoryLength - 1]) && !Append(folder, "\\"))
      return false;
  }
  const std::string_view td(folder.Data() != nullptr ? folder.Data() : "", folder.Length());
  const std::string_view name = target.substr(spans.nameStart);  // file name and extension

  const size_t n = base.size() < target.size() ? base.size() : target.size();
  size_t i = 0;
  bool colon = false;
  for (; i < n; ++i) {
    const char c = i < td.size() ? td[i] : '\0';
    if (i == 1 && c == ':') colon = true;
    if (c != base[i]) break;
  }
  // Another drive, or none: the target unchanged.
  if (!colon) return Append(result, target);

  size_t k = 0;
  for (size_t j = 0; j < i && j < td.size(); ++j) {
    if (IsSeparatorAt(td, j)) k = j + 1;
  }
  converted = true;
  if (k == n) {
    if (base.size() == target.size()) return Append(result, name);
    if (n == base.size()) {
      if (target.size() - base.size() == name.size()) return Append(result, name);
      return Append(result, ".") && Append(result, td.substr(k == 0 ? 0 : k - 1)) &&
             Append(result, name);
    }
    return AppendUpLevels(result, base, k) && Append(result, name);
  }
  return AppendUpLevels(result, base, k) && Append(result, td.substr(k)) && Append(result, name);
}

}  // namespace

void MakeRelativePath(const StringBuffer& base, const StringBuffer& target, StringBuffer& out) {
  const bool aliased = &out == &base || &out == &target;
  // Out is reserved first, unless it is one of the inputs (reserving would discard that text).
  if (!aliased && !out.Reserve(2048, false)) return;
  const std::string_view targetText(target.Data() != nullptr ? target.Data() : "", target.Length());
  if (targetText.size() > kLongestTarget) {
    out.SetText(kTooLong, -1, 0);
    return;
  }
  const std::string_view baseText(base.Data() != nullptr ? base.Data() : "", base.Length());
  StringBuffer result;
  bool converted = false;
  if (!Relate(baseText, targetText, targetText.data(), result, converted)) return;
  if (converted) result.ToForwardSlashes();
  if (result.Data() == nullptr) {
    out.SetText("", -1, 0);
  } else {
    out.SetFrom(result, 0);
  }
}
