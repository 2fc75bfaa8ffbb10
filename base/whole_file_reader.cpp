#include "base/whole_file_reader.h"

#include <cstdint>
#include <new>

#include "base/file_handle.h"

namespace {

constexpr unsigned kSpareBytes = 4096;

}  // namespace

std::unique_ptr<char[]> ReadWholeFile(const PathBuffer& path, unsigned& count) {
  count = 0;
  FileHandle file(path);
  // Opening tells a missing file as well: no separate look first.
  uint32_t size = 0;
  if (!file.OpenToRead(&size) || size > 0xFFFFFFFFu - kSpareBytes) return nullptr;
  std::unique_ptr<char[]> block(new (std::nothrow) char[size + kSpareBytes]);
  if (!block) return nullptr;
  uint32_t bytesRead = 0;
  const bool read = file.Read(block.get(), size, &bytesRead);
  file.Close();
  if (!read) return nullptr;
  block[bytesRead] = '\0';
  count = bytesRead;
  return block;
}
