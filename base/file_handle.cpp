#include "base/file_handle.h"

#include "platform/file_system.h"

FileHandle::FileHandle() {
  named_ = path_.MakeTempFile();
}

FileHandle::FileHandle(const PathBuffer& path) {
  path_.Clear();
  named_ = path_.Assign(&path);
}

FileHandle::~FileHandle() {
  if (open_) Close();
  named_ = false;
  path_.Clear();
}

bool FileHandle::Exists() const {
  return SysGetFileAttributes(path_.path) != kSysInvalidAttributes;
}

bool FileHandle::Open(int mode) {
  if (open_ || handle_ != nullptr) return false;
  if (mode < 0 || mode > 4) return false;
  void* handle = SysOpenFile(path_.path, mode);
  if (handle == nullptr) return false;
  handle_ = handle;
  open_ = true;
  return true;
}

bool FileHandle::OpenToRead(uint32_t* size) {
  if (size != nullptr) *size = 0;
  if (open_ || handle_ != nullptr || !named_ || size == nullptr) return false;
  void* handle = SysOpenFileToRead(path_.path, size);
  if (handle == nullptr) return false;
  handle_ = handle;
  open_ = true;
  return true;
}

bool FileHandle::Read(void* buffer, uint32_t count, uint32_t* done) {
  if (done == nullptr || !open_ || handle_ == nullptr || buffer == nullptr) return false;
  return SysReadFile(handle_, buffer, count, done);
}

bool FileHandle::Write(const void* buffer, uint32_t count, uint32_t* done) {
  if (done == nullptr || !open_ || handle_ == nullptr || buffer == nullptr) return false;
  return SysWriteFile(handle_, buffer, count, done);
}

bool FileHandle::GetSize(uint32_t* size) {
  if (!named_ || !open_ || handle_ == nullptr || size == nullptr) return false;
  *size = 0;
  uint32_t found = 0;
  // 0xFFFFFFFF is the system's failure value, so a file of that size cannot be told apart.
  if (!SysGetFileSize(handle_, &found) || found == 0xFFFFFFFFu) return false;
  *size = found;
  return true;
}

bool FileHandle::SetEnd() {
  if (!named_ || !open_ || handle_ == nullptr) return false;
  return SysSetEndOfFile(handle_);
}

bool FileHandle::Close() {
  if (!open_ || handle_ == nullptr) return false;
  const bool closed = SysCloseFile(handle_);
  handle_ = nullptr;
  open_ = false;
  return closed;
}
