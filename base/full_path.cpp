#include "base/full_path.h"

#include <cstring>

#include "base/path_split.h"

namespace {

// Length of the root at the start of a full path: "C:\" (3), or "\\server\share\" up to the
// separator after the share name; 0 when text has no root of either kind.
size_t RootLength(const char* text) {
  if (std::strlen(text) >= 3 && text[1] == ':' && IsSlash(text[2])) return 3;
  if (!IsSlash(text[0]) || !IsSlash(text[1])) return 0;
  size_t at = 2;
  for (int part = 0; part < 2; ++part) {
    while (text[at] != '\0' && !IsSlash(text[at])) ++at;
    if (text[at] != '\0') ++at;
  }
  return at;
}

// Builds a full path in a fixed array: the root, then one part after another. The array has
// room for more than one path, so that parts which a later ".." removes may pass through it.
class FullPathWriter {
 public:
  // Starts with the root (separators written as '\'); false when it does not fit.
  bool StartRoot(const char* root, size_t length) {
    if (length >= kCapacity) return false;
    for (size_t i = 0; i < length; ++i) text_[i] = IsSlash(root[i]) ? '\\' : root[i];
    length_ = rootLength_ = length;
    text_[length_] = '\0';
    return true;
  }
  // Adds the parts of a relative text: drops empty and "." parts, ".." removes the last part.
  bool AddParts(const char* parts) {
    const char* at = parts;
    while (*at != '\0') {
      const char* end = at;
      while (*end != '\0' && !IsSlash(*end)) ++end;
      if (!AddPart(at, size_t(end - at))) return false;
      at = *end != '\0' ? end + 1 : end;
    }
    return true;
  }
  const char* text() const { return text_; }

 private:
  bool AddPart(const char* part, size_t length) {
    if (length == 0 || (length == 1 && part[0] == '.')) return true;
    if (length == 2 && part[0] == '.' && part[1] == '.') {
      while (length_ > rootLength_ && text_[length_ - 1] != '\\') --length_;
      if (length_ > rootLength_) --length_;  // the separator before the removed part
      text_[length_] = '\0';
      return true;
    }
    const bool separator = length_ > 0 && text_[length_ - 1] != '\\';
    if (length_ + (separator ? 1 : 0) + length >= kCapacity) return false;
    if (separator) text_[length_++] = '\\';
    std::memcpy(text_ + length_, part, length);
    length_ += length;
    text_[length_] = '\0';
    return true;
  }

  static constexpr size_t kCapacity = 4 * kPathSize;
  char text_[kCapacity] = {};
  size_t length_ = 0;
  size_t rootLength_ = 0;
};

}  // namespace

bool MakeFullPath(const char* path, const char* currentFolder, PathBuffer& out) {
  out.Clear();
  if (path == nullptr || path[0] == '\0') return false;
  FullPathWriter full;
  bool ok;
  if (const size_t root = RootLength(path); root != 0) {
    ok = full.StartRoot(path, root) && full.AddParts(path + root);
  } else if (path[0] != '\0' && path[1] == ':') {
    // A drive without a root: that drive's root.
    const char driveRoot[] = {path[0], ':', '\\'};
    ok = full.StartRoot(driveRoot, 3) && full.AddParts(path + 2);
  } else {
    const size_t folderRoot = currentFolder != nullptr ? RootLength(currentFolder) : 0;
    if (folderRoot == 0) return false;
    if (IsSlash(path[0])) {
      // Rooted: the current folder's drive (or network share) and path's parts.
      ok = full.StartRoot(currentFolder, folderRoot) && full.AddParts(path);
    } else {
      ok = full.StartRoot(currentFolder, folderRoot) && full.AddParts(currentFolder + folderRoot) &&
           full.AddParts(path);
    }
  }
  return ok && out.Set(full.text());
}
