// Test helper: minimal ELF files with a chosen ".krn_version" section, in either width and byte
// order, and version blocks to put in them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A version block as the system backends read it: magic, size, then {key size, value size, key,
// value} records, little-endian.
inline Bytes VersionBlock(const std::vector<std::pair<std::string, Bytes>>& records) {
  Bytes block = {'K', 'R', 'N', 'V', 'E', 'R', '1', '\0', 0, 0, 0, 0};
  for (const auto& [key, value] : records) {
    const size_t keySize = key.size() + 1;
    block.push_back(uint8_t(keySize));
    block.push_back(uint8_t(keySize >> 8));
    block.push_back(uint8_t(value.size()));
    block.push_back(uint8_t(value.size() >> 8));
    block.insert(block.end(), key.begin(), key.end());
    block.push_back(0);
    block.insert(block.end(), value.begin(), value.end());
  }
  for (int i = 0; i < 4; ++i) block[8 + i] = uint8_t(block.size() >> (8 * i));
  return block;
}

// The bytes of a text with its NUL.
inline Bytes TextValue(const std::string& text) {
  Bytes value(text.begin(), text.end());
  value.push_back(0);
  return value;
}

// A relocatable ELF file with three sections: the null section, ".shstrtab" and a section named
// sectionName holding contents.
inline Bytes ElfFile(bool wide, bool bigEndian, const std::string& sectionName,
                     const Bytes& contents) {
  const size_t headerSize = wide ? 64 : 52;
  const size_t entrySize = wide ? 64 : 40;
  Bytes names = {0};
  const size_t namesName = names.size();
  for (char c : std::string(".shstrtab")) names.push_back(uint8_t(c));
  names.push_back(0);
  const size_t sectionNameAt = names.size();
  for (char c : sectionName) names.push_back(uint8_t(c));
  names.push_back(0);

  const size_t namesAt = headerSize;
  const size_t contentsAt = namesAt + names.size();
  const size_t tableAt = contentsAt + contents.size();
  Bytes file(tableAt + 3 * entrySize, 0);
  auto put = [&](size_t at, uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
      const int shift = bigEndian ? 8 * (width - 1 - i) : 8 * i;
      file[at + size_t(i)] = uint8_t(value >> shift);
    }
  };
  const unsigned char ident[] = {
      0x7f, 'E', 'L', 'F', uint8_t(wide ? 2 : 1), uint8_t(bigEndian ? 2 : 1), 1};
  for (size_t i = 0; i < sizeof ident; ++i) file[i] = ident[i];
  put(16, 1, 2);  // relocatable
  put(20, 1, 4);  // version
  const int word = wide ? 8 : 4;
  put(wide ? 40 : 32, tableAt, word);
  put(wide ? 52 : 40, headerSize, 2);
  put(wide ? 58 : 46, entrySize, 2);
  put(wide ? 60 : 48, 3, 2);
  put(wide ? 62 : 50, 1, 2);
  auto section = [&](size_t index, size_t name, uint32_t type, size_t offset, size_t size) {
    const size_t at = tableAt + index * entrySize;
    put(at, name, 4);
    put(at + 4, type, 4);
    put(at + (wide ? 24 : 16), offset, word);
    put(at + (wide ? 32 : 20), size, word);
  };
  section(1, namesName, 3, namesAt, names.size());
  section(2, sectionNameAt, 1, contentsAt, contents.size());
  std::copy(names.begin(), names.end(), file.begin() + long(namesAt));
  std::copy(contents.begin(), contents.end(), file.begin() + long(contentsAt));
  return file;
}
