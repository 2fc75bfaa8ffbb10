// A file's version resource through the VERSION API.
#include "platform/version_resource.h"

#include <windows.h>

#include <cstring>

uint32_t SysGetFileVersionInfoSize(const char* path) {
  if (path == nullptr) return 0;
  DWORD ignored = 0;
  return GetFileVersionInfoSizeA(path, &ignored);
}

bool SysGetFileVersionInfo(const char* path, uint32_t size, void* block) {
  if (path == nullptr || block == nullptr || size == 0) return false;
  // The system cuts a block that does not fit; the seam refuses it instead.
  DWORD needed = SysGetFileVersionInfoSize(path);
  if (needed == 0 || needed > size) return false;
  return GetFileVersionInfoA(path, 0, size, block) != FALSE;
}

bool SysVerQueryValue(const void* block, const char* subBlock, const void** value,
                      uint32_t* length) {
  if (block == nullptr || subBlock == nullptr || value == nullptr || length == nullptr) {
    return false;
  }
  void* found = nullptr;
  UINT foundLength = 0;
  // VerQueryValueA takes a non-const block although it only reads it.
  if (!VerQueryValueA(const_cast<void*>(block), subBlock, &found, &foundLength) ||
      found == nullptr) {
    return false;
  }
  *value = found;
  *length = foundLength;
  // Texts are counted in characters, with or without the NUL depending on the system; the seam
  // counts bytes with the NUL.
  if (_strnicmp(subBlock, "\\StringFileInfo\\", 16) == 0) {
    *length = static_cast<uint32_t>(std::strlen(static_cast<const char*>(found)) + 1);
  }
  return true;
}
