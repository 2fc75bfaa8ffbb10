// Reading a file whole into one block.
#pragma once

#include <memory>

#include "base/path_buffer.h"

// Reads a whole file into a zero-terminated block with 4096 spare bytes behind
// the data; sets count to the bytes read. Null (count 0) when the file is
// missing, cannot be opened or read, or memory runs out.
std::unique_ptr<char[]> ReadWholeFile(const PathBuffer& path, unsigned& count);
