// Owner of one open file and its path: one system call per operation, no buffering.
#pragma once

#include <cstdint>

#include "base/path_buffer.h"

// Open modes: 0 read an existing file, 1 write an existing file, 2 create or truncate for
// reading and writing, 3 read and write an existing file, 4 read and write, creating it if
// missing. Invariant: IsOpen() exactly when the native handle is not null. Failures are false
// results, never messages.
class FileHandle {
 public:
  // Takes a new empty temporary file as its path; IsNamed tells whether that worked.
  FileHandle();
  // Copies path; IsNamed tells whether the copy worked.
  explicit FileHandle(const PathBuffer& path);
  // Closes the file if open, clears named and empties the path.
  virtual ~FileHandle();
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  // True when the path names something on disk (its attributes can be read).
  bool Exists() const;
  // Opens the file in mode 0-4; false when already open, for another mode, or when the system
  // refuses (the object then stays closed and reusable).
  bool Open(int mode);
  // Opens the file for reading (mode 0) and stores its size in *size (0 first); false as Open
  // or GetSize would be (the object then stays closed).
  bool OpenToRead(uint32_t* size);
  // Reads up to count bytes once, storing the number read in *done; false when closed, a pointer
  // is null or the read fails. A short read is not retried.
  bool Read(void* buffer, uint32_t count, uint32_t* done);
  // Writes count bytes once, storing the number written in *done; false when closed, a pointer
  // is null or the write fails. A short write is not retried.
  bool Write(const void* buffer, uint32_t count, uint32_t* done);
  // Stores the file size in *size (0 first); false when not named or open, size is null, or
  // the file has 4 GiB or more.
  bool GetSize(uint32_t* size);
  // Cuts the file at the current position; false when not named or open, or when that fails.
  bool SetEnd();
  // Closes the file; false when not open or when the system reports a failure (it is closed
  // either way).
  bool Close();

  // True when the path was set successfully at construction.
  bool IsNamed() const { return named_; }
  // True while a file is open.
  bool IsOpen() const { return open_; }
  // The file's full path.
  const PathBuffer& Path() const { return path_; }

 private:
  bool named_ = false;
  bool open_ = false;
  PathBuffer path_;
  void* handle_ = nullptr;  // system file handle: HANDLE on Windows, fd + 1 on Linux
};
