// Layout of the version block that every Linux program of the project carries.
//
// The block lives in the ELF section ".krn_version". All numbers are little-endian:
//   8 bytes  magic "KRNVER1\0"
//   4 bytes  size of the whole block in bytes
//   then records up to that size, each:
//     2 bytes  key size in bytes, its NUL included
//     2 bytes  value size in bytes (a text's NUL included)
//     the key, then the value
// Keys are the sub-block paths of the Windows VERSION API ("\VarFileInfo\Translation",
// "\StringFileInfo\040904B0\ProductVersion").
#pragma once

#include <cstddef>
#include <cstdint>

namespace version_block {

constexpr char kSectionName[] = ".krn_version";
constexpr char kMagic[8] = {'K', 'R', 'N', 'V', 'E', 'R', '1', '\0'};
constexpr size_t kHeaderSize = 12;
constexpr size_t kRecordHeaderSize = 4;

// Little-endian reads from a byte array.
inline uint32_t Read16(const unsigned char* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}
inline uint32_t Read32(const unsigned char* p) {
  return Read16(p) | Read16(p + 2) << 16;
}

}  // namespace version_block
