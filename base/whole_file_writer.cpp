#include "base/whole_file_writer.h"

#include "platform/file_replace.h"
#include "platform/file_system.h"
#include "platform/stop_request.h"

namespace {

// Room for a temporary path: the target's folder and a short name, longer than a program path
// may be on Linux.
constexpr uint32_t kTempPathSize = 4096;

// The last system error, or "disk full" when the system named none (a write that stopped).
uint32_t LastErrorOr(uint32_t fallback) {
  const uint32_t code = SysLastError();
  return code != 0 ? code : fallback;
}

// Writes every byte, retrying short writes; false with the reason in *error.
bool WriteAll(void* file, const char* data, uint32_t length, uint32_t* error) {
  while (length > 0) {
    uint32_t done = 0;
    SysSetLastError(0);
    if (!SysWriteFile(file, data, length, &done) || done == 0 || done > length) {
      *error = LastErrorOr(SysDiskFullError());
      return false;
    }
    data += done;
    length -= done;
  }
  return true;
}

// Writes every byte in blocks of kWholeFileBlock, telling whileWriting after each; false with
// the reason in *error, SysStopError when whileWriting stopped it.
bool WriteInBlocks(void* file, const char* data, uint32_t length, uint32_t* error,
                   WholeFileProgress whileWriting, void* context) {
  uint32_t written = 0;
  do {
    const uint32_t block = length - written < kWholeFileBlock ? length - written : kWholeFileBlock;
    if (block > 0 && !WriteAll(file, data + written, block, error)) return false;
    written += block;
    if (!whileWriting(context, written, length)) {
      *error = SysStopError();
      return false;
    }
  } while (written < length);
  return true;
}

// One try of WriteWholeFile; checkAtCommit as SysMayReplaceFile takes it.
bool WriteOnce(const char* path, const char* data, uint32_t length, uint32_t& error,
               WholeFileProgress whileWriting, void* progressContext, bool checkAtCommit) {
  error = 0;
  // A null path is refused by the check, which names the reason.
  SysSetLastError(0);
  FileReplacement replacement;
  if (!SysMayReplaceFile(path, &replacement, checkAtCommit) || (data == nullptr && length > 0)) {
    error = LastErrorOr(SysDiskFullError());
    return false;
  }
  if (whileWriting != nullptr && !whileWriting(progressContext, 0, length)) {
    error = SysStopError();
    return false;
  }
  char temp[kTempPathSize];
  SysSetLastError(0);
  void* file = SysCreateFileBeside(replacement, temp, sizeof temp);
  if (file == nullptr) {
    error = LastErrorOr(SysDiskFullError());
    return false;
  }
  bool ok = whileWriting != nullptr
                ? WriteInBlocks(file, data, length, &error, whileWriting, progressContext)
                : length == 0 || WriteAll(file, data, length, &error);
  // A stop requested meanwhile (a command's Ctrl-C) leaves the target as it was.
  if (ok && SysStopRequested()) {
    error = SysStopError();
    ok = false;
  }
  SysSetLastError(0);
  if (!ok) {
    SysCloseFile(file);
  } else if (!SysCommitFileBeside(file, temp, replacement)) {
    error = LastErrorOr(SysDiskFullError());
    ok = false;
  }
  // A file without a name is gone with its handle; a named one is removed. The reason of
  // the first failure stays; removing the leftover may fail on its own.
  if (!ok && temp[0] != '\0') {
    const uint32_t reason = error;
    SysDeleteFile(temp);
    SysSetLastError(reason);
  }
  return ok;
}

}  // namespace

bool WriteWholeFile(const char* path, const char* data, uint32_t length, uint32_t* systemError,
                    WholeFileProgress whileWriting, void* progressContext) {
  uint32_t ignored = 0;
  uint32_t& error = systemError != nullptr ? *systemError : ignored;
  // Most files written are new (a batch of pages): the target is checked once the new file is
  // ready to take its name, and only a target that needs more (a link) is written again with
  // the check first.
  if (WriteOnce(path, data, length, error, whileWriting, progressContext, true)) return true;
  if (error != kSysErrorLookUpFirst) return false;
  return WriteOnce(path, data, length, error, whileWriting, progressContext, false);
}
