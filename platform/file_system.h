// System seam: files, folders, the program's own file and temporary files.
//
// Every path crossing this seam is in the program's view (a drive and '\' separators, at most
// 259 characters); a backend translates at its boundary (see native_path.h). File handles are
// opaque: a HANDLE on Windows, an int file descriptor plus one on Linux, so null is never an
// open file. Implemented by platform/posix (krn_system_posix) and platform/win32.
#pragma once

#include <cstdint>

// Attribute values, as the Windows file attributes spell them.
constexpr uint32_t kSysInvalidAttributes = 0xFFFFFFFFu;
constexpr uint32_t kSysAttributeDirectory = 16;
constexpr uint32_t kSysAttributeNormal = 128;

// Opens the file at path: 0 read an existing file, 1 write an existing file, 2 create or
// truncate for reading and writing, 3 read and write an existing file, 4 read and write,
// creating it if missing. Returns the handle, or null on failure or for another mode.
void* SysOpenFile(const char* path, int mode);
// SysOpenFile in mode 0 that also stores the file's size in *size, as SysGetFileSize; null (the
// file closed again) when either fails. On Linux one look at the open file serves both.
void* SysOpenFileToRead(const char* path, uint32_t* size);
// Reads up to count bytes once into buffer, storing the number read in *done; false on failure.
bool SysReadFile(void* file, void* buffer, uint32_t count, uint32_t* done);
// Writes count bytes once from buffer, storing the number written in *done; false on failure.
bool SysWriteFile(void* file, const void* buffer, uint32_t count, uint32_t* done);
// Stores the file's size in *size; false on failure or when the file has 4 GiB or more.
bool SysGetFileSize(void* file, uint32_t* size);
// Cuts the file at its current position; false on failure.
bool SysSetEndOfFile(void* file);
// Closes the handle; false when the system reports a failure (the handle is gone either way).
bool SysCloseFile(void* file);
// Attributes of the file or folder at path (kSysAttributeDirectory for a folder,
// kSysAttributeNormal for a plain file), or kSysInvalidAttributes when it does not exist.
uint32_t SysGetFileAttributes(const char* path);

// Who a file or folder is, links followed: the device and the file's number on it (st_dev and
// st_ino on Linux, the volume serial and file index on Windows), so that one folder reached by
// two paths is known as one; isLink tells whether path itself is a symbolic link (or, on
// Windows, any reparse point such as a junction).
struct SysFileIdentity {
  uint64_t device;
  uint64_t node;
  bool isLink;
};
// Fills *identity for path; false when path or what it leads to cannot be looked at.
bool SysGetFileIdentity(const char* path, SysFileIdentity* identity);

// Copies the current directory into out (size bytes); returns its length, or 0 on failure or
// when it does not fit.
uint32_t SysGetCurrentDirectory(char* out, uint32_t size);
// Makes path the current directory; false on failure.
bool SysSetCurrentDirectory(const char* path);

// One entry of a folder listing.
struct SysFindData {
  uint32_t attributes;  // kSysAttributeDirectory (16) for a folder, else kSysAttributeNormal
  char name[260];       // the entry's name, without its folder
};

// Starts listing every entry of folder ("." and ".." included, in the system's order) and fills
// *found with the first; returns the search handle (a HANDLE on Windows, a DIR* on Linux), or
// null when the folder cannot be read or is empty.
void* SysFindFirstFile(const char* folder, SysFindData* found);
// Fills *found with the next entry; false when there is none or on failure.
bool SysFindNextFile(void* search, SysFindData* found);
// Ends a listing started by SysFindFirstFile.
void SysFindClose(void* search);

// Copies the full path of the program's own file into out (size bytes); returns its length, or
// 0 on failure or when it does not fit.
uint32_t SysGetProgramFile(char* out, uint32_t size);
// Copies the system's temporary folder, ending with '\', into out (size bytes); returns its
// length, or 0 on failure or when it does not fit.
uint32_t SysGetTempFolder(char* out, uint32_t size);
// Creates a new empty file named prefix + hexadecimal number + ".tmp" in folder, never reusing
// an existing name, and copies its full path into out (size bytes); false on failure.
bool SysMakeTempFile(const char* folder, const char* prefix, char* out, uint32_t size);
