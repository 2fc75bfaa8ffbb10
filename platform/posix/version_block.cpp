// The version block linked into every Linux program of the project (see version_block_format.h),
// made at compile time from the one version number in CMake.
#include <array>
#include <cstddef>

#include "krn_version.h"
#include "platform/posix/version_block_format.h"

namespace {

constexpr char kTranslationKey[] = "\\VarFileInfo\\Translation";
// US English (0x0409), Unicode code page (0x04B0), as the Windows resource declares them.
constexpr unsigned char kTranslation[] = {0x09, 0x04, 0xB0, 0x04};
constexpr char kProductKey[] = "\\StringFileInfo\\040904B0\\ProductVersion";
constexpr char kProductVersion[] = KRN_VERSION_COMMAS;
constexpr char kFileKey[] = "\\StringFileInfo\\040904B0\\FileVersion";

constexpr size_t kBlockSize =
    version_block::kHeaderSize +
    (version_block::kRecordHeaderSize + sizeof kTranslationKey + sizeof kTranslation) +
    (version_block::kRecordHeaderSize + sizeof kProductKey + sizeof kProductVersion) +
    (version_block::kRecordHeaderSize + sizeof kFileKey + sizeof kProductVersion);

using Block = std::array<unsigned char, kBlockSize>;

constexpr size_t Put16(Block& block, size_t at, size_t value) {
  block[at] = static_cast<unsigned char>(value & 0xFF);
  block[at + 1] = static_cast<unsigned char>(value >> 8 & 0xFF);
  return at + 2;
}

template <typename T, size_t N>
constexpr size_t PutArray(Block& block, size_t at, const T (&bytes)[N]) {
  for (size_t i = 0; i < N; ++i) block[at + i] = static_cast<unsigned char>(bytes[i]);
  return at + N;
}

template <size_t K, typename T, size_t N>
constexpr size_t PutRecord(Block& block, size_t at, const char (&key)[K], const T (&value)[N]) {
  at = Put16(block, at, K);
  at = Put16(block, at, N);
  at = PutArray(block, at, key);
  return PutArray(block, at, value);
}

constexpr Block Build() {
  Block block{};
  size_t at = PutArray(block, 0, version_block::kMagic);
  at = Put16(block, at, kBlockSize & 0xFFFF);
  at = Put16(block, at, kBlockSize >> 16);
  at = PutRecord(block, at, kTranslationKey, kTranslation);
  at = PutRecord(block, at, kProductKey, kProductVersion);
  at = PutRecord(block, at, kFileKey, kProductVersion);
  return block;
}

// Kept by the compiler and linker although nothing refers to it: the system backend reads it
// from the program file.
[[gnu::used, gnu::section(".krn_version")]] const Block kVersionBlock = Build();

}  // namespace
