// Writing a file whole: a new temporary file in the target's folder, moved over the target
// once every byte is written and closed.
#pragma once

#include <cstdint>

// Writes length bytes of data as the whole content of the file at path (program view). An
// existing file is replaced whole, keeping its permissions, or left untouched; one the user
// may not write to (read-only) is refused before anything is written, and a stop requested
// (platform/stop_request.h) before the move leaves it untouched too. False on failure, with
// the temporary file removed and the system's reason in *systemError (when given; never 0).
bool WriteWholeFile(const char* path, const char* data, uint32_t length, uint32_t* systemError);
