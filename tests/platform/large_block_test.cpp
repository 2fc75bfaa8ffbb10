// Large blocks of the Linux backend: C heap storage that starts on a large-page boundary and
// whose whole large pages are advised for transparent huge pages.
#include "platform/large_block.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The flags of the mapping that holds `address` (the VmFlags line of /proc/self/smaps), or
// an empty text when none is found.
std::string MappingFlags(const void* address) {
  std::ifstream smaps("/proc/self/smaps");
  const uintptr_t at = reinterpret_cast<uintptr_t>(address);
  std::string line;
  bool inside = false;
  while (std::getline(smaps, line)) {
    uintptr_t from = 0, to = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> from >> dash >> to && dash == '-') {
      inside = at >= from && at < to;
    } else if (inside && line.rfind("VmFlags:", 0) == 0) {
      return line.substr(8) + " ";
    }
  }
  return "";
}

bool SystemHasHugePages() {
  std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
  return mode.good();
}

}  // namespace

TEST(LargeBlock, StartsOnALargePageAndIsOrdinaryHeapStorage) {
  const size_t sizes[] = {kLargeBlockBytes, 2 * kLargeBlockBytes + 100, 3 * kLargeBlockBytes - 1};
  for (const size_t size : sizes) {
    char* block = static_cast<char*>(SysAllocLarge(size));
    ASSERT_NE(block, nullptr) << size << " bytes";
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % kLargeBlockBytes, 0u)
        << "a block of " << size << " bytes does not start on a large page";
    for (size_t i = 0; i < size; i += 4093) block[i] = static_cast<char>(i % 251);
    block[size - 1] = 'z';
    if (SystemHasHugePages()) {
      EXPECT_NE(MappingFlags(block).find(" hg "), std::string::npos)
          << "the first large page of " << size
          << " bytes is not advised for huge pages: " << MappingFlags(block);
      // A last part shorter than a large page keeps small pages, which hold only what it uses.
      const size_t whole = size / kLargeBlockBytes * kLargeBlockBytes;
      if (whole < size) {
        EXPECT_EQ(MappingFlags(block + whole).find(" hg "), std::string::npos)
            << "the last " << size - whole << " bytes are advised for huge pages";
      }
    }
    // The C heap takes it back and grows it like any other block.
    char* grown = static_cast<char*>(std::realloc(block, size + kLargeBlockBytes));
    ASSERT_NE(grown, nullptr) << "growing " << size << " bytes failed";
    for (size_t i = 0; i < size; i += 4093) {
      ASSERT_EQ(grown[i], static_cast<char>(i % 251)) << "growing lost byte " << i;
    }
    EXPECT_EQ(grown[size - 1], 'z') << "growing lost the last byte";
    std::free(grown);
  }
}
