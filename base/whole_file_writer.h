// Writing a file whole: a new temporary file in the target's folder, moved over the target
// once every byte is written and closed.
#pragma once

#include <cstdint>

// Told during a write with the bytes written so far and the whole length: once before the
// temporary file is made (0), then after each block of kWholeFileBlock bytes (the last block
// may be shorter). Its false stops the write, which leaves the target as it was.
using WholeFileProgress = bool (*)(void* context, uint64_t bytesWritten, uint64_t length);

// The bytes written between two calls of a WholeFileProgress handler.
constexpr uint32_t kWholeFileBlock = 1u << 20;

// Writes length bytes of data as the whole content of the file at path (program view). An
// existing file is replaced whole, keeping its permissions, or left untouched; one the user
// may not write to (read-only) is refused and left untouched (on Linux it is checked once the
// new file is written, which spares new files a look-up), and a stop requested
// (platform/stop_request.h) before the move leaves it untouched too, as does a false from
// whileWriting (may be null; called on this thread with progressContext). A target that is a
// symbolic link is written a second time once it is looked at, told to whileWriting from 0
// again. False on failure, with the temporary file removed and the system's reason in
// *systemError (when given; never 0; a stop's is SysStopError).
bool WriteWholeFile(const char* path, const char* data, uint32_t length, uint32_t* systemError,
                    WholeFileProgress whileWriting = nullptr, void* progressContext = nullptr);
