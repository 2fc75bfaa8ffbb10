// Linux: version queries answered from the ".krn_version" section of an ELF file on disk.
#include "platform/version_resource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/native_path.h"
#include "platform/posix/version_block_format.h"

namespace {

// Bounds that keep a damaged or hostile file from making us read or allocate much.
constexpr uint64_t kMaxSectionHeaders = 65536;
constexpr uint64_t kMaxNamesSize = 1 << 20;
constexpr uint64_t kMaxBlockSize = 1 << 16;

// An open file, closed when it goes out of scope.
class File {
 public:
  explicit File(const char* native) {
    do {
      fd_ = open(native, O_RDONLY | O_CLOEXEC);
    } while (fd_ < 0 && errno == EINTR);
  }
  ~File() {
    if (fd_ >= 0) close(fd_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  uint64_t Size() const {
    struct stat info;
    return fstat(fd_, &info) == 0 && S_ISREG(info.st_mode) ? uint64_t(info.st_size) : 0;
  }
  // Reads exactly size bytes at offset, which must lie inside the file.
  bool ReadAt(uint64_t offset, void* out, uint64_t size) const {
    unsigned char* at = static_cast<unsigned char*>(out);
    while (size != 0) {
      const ssize_t got = pread(fd_, at, size_t(size), off_t(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      at += got;
      offset += uint64_t(got);
      size -= uint64_t(got);
    }
    return true;
  }

 private:
  int fd_ = -1;
};

// Reads numbers of either byte order and width from ELF structures.
struct Reader {
  bool bigEndian;
  uint64_t Get(const unsigned char* p, int width) const {
    uint64_t value = 0;
    for (int i = 0; i < width; ++i) {
      const int shift = bigEndian ? 8 * (width - 1 - i) : 8 * i;
      value |= uint64_t(p[i]) << shift;
    }
    return value;
  }
};

// One section header, as far as the search needs it.
struct Section {
  uint32_t name;
  uint32_t type;
  uint64_t offset;
  uint64_t size;
  uint32_t link;
};

constexpr uint32_t kSectionNoBits = 8;  // SHT_NOBITS: no bytes in the file

// Reads the ".krn_version" section of the ELF file at a program-view path into block; false for
// anything that is not a well-formed ELF file holding a valid block.
bool ReadVersionSection(const char* path, std::vector<unsigned char>& block) {
  char native[PATH_MAX];
  if (path == nullptr || !NativePathFromProgram(path, native, sizeof native) || native[0] == '\0')
    return false;
  File file(native);
  if (!file.IsOpen()) return false;
  const uint64_t fileSize = file.Size();
  unsigned char ident[64] = {};
  if (fileSize < 52 || !file.ReadAt(0, ident, fileSize < 64 ? 52 : 64)) return false;
  if (std::memcmp(ident,
                  "\x7f"
                  "ELF",
                  4) != 0)
    return false;
  const bool wide = ident[4] == 2;
  if (ident[4] != 1 && !wide) return false;
  if (ident[5] != 1 && ident[5] != 2) return false;
  if (wide && fileSize < 64) return false;
  const Reader r{ident[5] == 2};
  const int word = wide ? 8 : 4;
  // e_shoff, e_shentsize, e_shnum and e_shstrndx sit after the entry and program header fields.
  const uint64_t headerTable = r.Get(ident + (wide ? 40 : 32), word);
  const uint64_t entrySize = r.Get(ident + (wide ? 58 : 46), 2);
  uint64_t count = r.Get(ident + (wide ? 60 : 48), 2);
  uint64_t namesIndex = r.Get(ident + (wide ? 62 : 50), 2);
  const uint64_t neededEntry = wide ? 64 : 40;
  if (headerTable == 0 || entrySize < neededEntry || headerTable >= fileSize) return false;

  auto readSection = [&](uint64_t index, Section& out) {
    if (index >= kMaxSectionHeaders) return false;
    const uint64_t at = headerTable + index * entrySize;
    if (at > fileSize || fileSize - at < neededEntry) return false;
    unsigned char raw[64];
    if (!file.ReadAt(at, raw, neededEntry)) return false;
    out.name = uint32_t(r.Get(raw, 4));
    out.type = uint32_t(r.Get(raw + 4, 4));
    out.offset = r.Get(raw + (wide ? 24 : 16), word);
    out.size = r.Get(raw + (wide ? 32 : 20), word);
    out.link = uint32_t(r.Get(raw + (wide ? 40 : 24), 4));
    return true;
  };
  // Many sections: the real count and names index are kept in section 0.
  if (count == 0 || namesIndex == 0xFFFF) {
    Section first;
    if (!readSection(0, first)) return false;
    if (count == 0) count = first.size;
    if (namesIndex == 0xFFFF) namesIndex = first.link;
  }
  if (count == 0 || count > kMaxSectionHeaders || namesIndex >= count) return false;

  Section names;
  if (!readSection(namesIndex, names) || names.type == kSectionNoBits) return false;
  if (names.size == 0 || names.size > kMaxNamesSize || names.offset > fileSize ||
      fileSize - names.offset < names.size)
    return false;
  std::vector<unsigned char> nameTable(size_t(names.size) + 1, 0);
  if (!file.ReadAt(names.offset, nameTable.data(), names.size)) return false;

  const size_t wantedLength = sizeof version_block::kSectionName;  // with its NUL
  for (uint64_t i = 1; i < count; ++i) {
    Section section;
    if (!readSection(i, section)) return false;
    if (section.name >= names.size || names.size - section.name < wantedLength) continue;
    if (std::memcmp(nameTable.data() + section.name, version_block::kSectionName, wantedLength))
      continue;
    if (section.type == kSectionNoBits || section.size < version_block::kHeaderSize ||
        section.size > kMaxBlockSize || section.offset > fileSize ||
        fileSize - section.offset < section.size)
      return false;
    block.assign(size_t(section.size), 0);
    if (!file.ReadAt(section.offset, block.data(), section.size)) return false;
    if (std::memcmp(block.data(), version_block::kMagic, sizeof version_block::kMagic))
      return false;
    const uint32_t blockSize = version_block::Read32(block.data() + 8);
    if (blockSize < version_block::kHeaderSize || blockSize > block.size()) return false;
    block.resize(blockSize);
    return true;
  }
  return false;
}

// ASCII case-insensitive equality, as the Windows queries compare their keys.
bool SameKey(const char* a, const char* b, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = char(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = char(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

uint32_t SysGetFileVersionInfoSize(const char* path) {
  std::vector<unsigned char> block;
  return ReadVersionSection(path, block) ? uint32_t(block.size()) : 0;
}

bool SysGetFileVersionInfo(const char* path, uint32_t size, void* block) {
  if (block == nullptr) return false;
  std::vector<unsigned char> found;
  if (!ReadVersionSection(path, found) || found.size() > size) return false;
  std::memcpy(block, found.data(), found.size());
  return true;
}

bool SysVerQueryValue(const void* block, const char* subBlock, const void** value,
                      uint32_t* length) {
  if (block == nullptr || subBlock == nullptr || value == nullptr || length == nullptr)
    return false;
  const unsigned char* bytes = static_cast<const unsigned char*>(block);
  if (std::memcmp(bytes, version_block::kMagic, sizeof version_block::kMagic)) return false;
  const uint32_t size = version_block::Read32(bytes + 8);
  const size_t keyLength = std::strlen(subBlock) + 1;
  size_t at = version_block::kHeaderSize;
  while (at < size && size - at >= version_block::kRecordHeaderSize) {
    const uint32_t keySize = version_block::Read16(bytes + at);
    const uint32_t valueSize = version_block::Read16(bytes + at + 2);
    const size_t recordSize = version_block::kRecordHeaderSize + keySize + valueSize;
    if (recordSize > size - at) return false;
    const char* key = reinterpret_cast<const char*>(bytes + at + version_block::kRecordHeaderSize);
    if (keySize == keyLength && key[keySize - 1] == '\0' && SameKey(key, subBlock, keyLength)) {
      *value = key + keySize;
      *length = valueSize;
      return true;
    }
    at += recordSize;
  }
  return false;
}
