#include "temp_folder.h"

#include <windows.h>

#include <cstdio>

namespace {

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = folder + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(search, &data));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
  char base[MAX_PATH];
  if (GetTempPathA(MAX_PATH, base) == 0) return;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[MAX_PATH];
    std::snprintf(name, sizeof(name), "%skrnwin%lu_%d", base, GetCurrentProcessId(), attempt);
    if (CreateDirectoryA(name, nullptr)) {
      path_ = name;
      return;
    }
  }
}

TempFolder::~TempFolder() {
  if (!path_.empty()) {
    // A folder that is current cannot be removed.
    char temp[MAX_PATH];
    if (GetTempPathA(MAX_PATH, temp) != 0) SetCurrentDirectoryA(temp);
    RemoveTree(path_);
  }
}

bool TempFolder::WriteFile(const std::string& name, const std::string& text) const {
  FILE* f = std::fopen(Join(name).c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

std::string TempFolder::ReadFile(const std::string& name) const {
  FILE* f = std::fopen(Join(name).c_str(), "rb");
  if (f == nullptr) return "<missing>";
  std::string text;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof(chunk), f)) > 0) text.append(chunk, n);
  std::fclose(f);
  return text;
}
