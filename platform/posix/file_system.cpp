// Linux: files, folders and temporary files over POSIX calls, paths translated at the boundary.
#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/native_path.h"

namespace {

// The handle of a descriptor: fd + 1, so that null never names an open file.
void* HandleOf(int fd) {
  return reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
}
int FdOf(void* handle) {
  return static_cast<int>(reinterpret_cast<intptr_t>(handle) - 1);
}

// Native form of a program path; false when it does not translate.
bool Native(const char* path, char (&out)[PATH_MAX]) {
  return path != nullptr && NativePathFromProgram(path, out, sizeof out);
}

uint32_t AttributesOf(const struct stat& info) {
  return S_ISDIR(info.st_mode) ? kSysAttributeDirectory : kSysAttributeNormal;
}

// Fills found from a directory entry; false for a name that does not fit.
bool FillEntry(DIR* dir, const dirent* entry, SysFindData* found) {
  const size_t length = std::strlen(entry->d_name);
  if (length >= sizeof found->name) return false;
  std::memcpy(found->name, entry->d_name, length + 1);
  struct stat info;
  if (entry->d_type == DT_DIR) {
    found->attributes = kSysAttributeDirectory;
  } else if (entry->d_type == DT_REG) {
    found->attributes = kSysAttributeNormal;
  } else if (fstatat(dirfd(dir), entry->d_name, &info, 0) == 0) {
    found->attributes = AttributesOf(info);  // links are followed, as the system shows them
  } else {
    found->attributes = kSysAttributeNormal;
  }
  return true;
}

// Reads entries until one fits SysFindData; false at the end of the folder.
bool NextEntry(DIR* dir, SysFindData* found) {
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (entry == nullptr) return false;
    if (FillEntry(dir, entry, found)) return true;
  }
}

}  // namespace

namespace {

// Opens path with the flags of mode and fills info from the open file; null for a folder, which
// is not a file to read or write, or on failure.
void* OpenRegular(const char* path, int mode, struct stat& info) {
  static const int kFlags[] = {O_RDONLY, O_WRONLY, O_RDWR | O_CREAT | O_TRUNC, O_RDWR,
                               O_RDWR | O_CREAT};
  if (mode < 0 || mode > 4) return nullptr;
  char native[PATH_MAX];
  if (!Native(path, native) || native[0] == '\0') return nullptr;
  int fd;
  do {
    fd = open(native, kFlags[mode], 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  return HandleOf(fd);
}

// The size of a file as SysGetFileSize tells it; false for 4 GiB or more.
bool SizeOf(const struct stat& info, uint32_t* size) {
  if (info.st_size < 0 || uint64_t(info.st_size) > 0xFFFFFFFFull) return false;
  *size = uint32_t(info.st_size);
  return true;
}

}  // namespace

void* SysOpenFile(const char* path, int mode) {
  struct stat info;
  return OpenRegular(path, mode, info);
}

void* SysOpenFileToRead(const char* path, uint32_t* size) {
  if (size == nullptr) return nullptr;
  *size = 0;
  struct stat info;
  void* file = OpenRegular(path, 0, info);
  if (file != nullptr && !SizeOf(info, size)) {
    SysCloseFile(file);
    return nullptr;
  }
  return file;
}

bool SysReadFile(void* file, void* buffer, uint32_t count, uint32_t* done) {
  if (done == nullptr) return false;
  *done = 0;
  if (file == nullptr || buffer == nullptr) return false;
  ssize_t got;
  do {
    got = read(FdOf(file), buffer, count);
  } while (got < 0 && errno == EINTR);
  if (got < 0) return false;
  *done = uint32_t(got);
  return true;
}

bool SysWriteFile(void* file, const void* buffer, uint32_t count, uint32_t* done) {
  if (done == nullptr) return false;
  *done = 0;
  if (file == nullptr || buffer == nullptr) return false;
  ssize_t put;
  do {
    put = write(FdOf(file), buffer, count);
  } while (put < 0 && errno == EINTR);
  if (put < 0) return false;
  *done = uint32_t(put);
  return true;
}

bool SysGetFileSize(void* file, uint32_t* size) {
  if (file == nullptr || size == nullptr) return false;
  struct stat info;
  return fstat(FdOf(file), &info) == 0 && SizeOf(info, size);
}

bool SysSetEndOfFile(void* file) {
  if (file == nullptr) return false;
  const off_t at = lseek(FdOf(file), 0, SEEK_CUR);
  return at >= 0 && ftruncate(FdOf(file), at) == 0;
}

bool SysCloseFile(void* file) {
  if (file == nullptr) return false;
  // Linux releases the descriptor even when close reports an error, so it is never retried.
  return close(FdOf(file)) == 0;
}

uint32_t SysGetFileAttributes(const char* path) {
  char native[PATH_MAX];
  struct stat info;
  if (!Native(path, native) || native[0] == '\0' || stat(native, &info) != 0) {
    return kSysInvalidAttributes;
  }
  return AttributesOf(info);
}

bool SysGetFileIdentity(const char* path, SysFileIdentity* identity) {
  if (identity == nullptr) return false;
  char native[PATH_MAX];
  struct stat link;
  struct stat info;
  if (!Native(path, native) || native[0] == '\0' || lstat(native, &link) != 0 ||
      stat(native, &info) != 0) {
    return false;
  }
  identity->device = uint64_t(info.st_dev);
  identity->node = uint64_t(info.st_ino);
  identity->isLink = S_ISLNK(link.st_mode);
  return true;
}

uint32_t SysGetCurrentDirectory(char* out, uint32_t size) {
  if (out == nullptr || size == 0) return 0;
  char native[PATH_MAX];
  if (getcwd(native, sizeof native) == nullptr || !ProgramPathFromNative(native, out, size)) {
    out[0] = '\0';
    return 0;
  }
  return uint32_t(std::strlen(out));
}

bool SysSetCurrentDirectory(const char* path) {
  char native[PATH_MAX];
  return Native(path, native) && native[0] != '\0' && chdir(native) == 0;
}

void* SysFindFirstFile(const char* folder, SysFindData* found) {
  if (found == nullptr) return nullptr;
  char native[PATH_MAX];
  if (!Native(folder, native) || native[0] == '\0') return nullptr;
  DIR* dir = opendir(native);
  if (dir == nullptr) return nullptr;
  if (!NextEntry(dir, found)) {
    closedir(dir);
    return nullptr;
  }
  return dir;
}

bool SysFindNextFile(void* search, SysFindData* found) {
  if (search == nullptr || found == nullptr) return false;
  return NextEntry(static_cast<DIR*>(search), found);
}

void SysFindClose(void* search) {
  if (search != nullptr) closedir(static_cast<DIR*>(search));
}

uint32_t SysGetTempFolder(char* out, uint32_t size) {
  if (out == nullptr || size == 0) return 0;
  const char* folder = std::getenv("TMPDIR");
  if (folder == nullptr || folder[0] != '/') folder = "/tmp";
  if (!ProgramPathFromNative(folder, out, size)) return 0;
  size_t length = std::strlen(out);
  if (out[length - 1] != '\\') {
    if (length + 2 > size) {
      out[0] = '\0';
      return 0;
    }
    out[length++] = '\\';
    out[length] = '\0';
  }
  return uint32_t(length);
}

bool SysMakeTempFile(const char* folder, const char* prefix, char* out, uint32_t size) {
  if (folder == nullptr || prefix == nullptr || out == nullptr || size == 0) return false;
  static std::atomic<unsigned> counter{0};  // workers of one run make temporary files at once
  const size_t folderLength = std::strlen(folder);
  const bool slash =
      folderLength != 0 && (folder[folderLength - 1] == '\\' || folder[folderLength - 1] == '/');
  // Start from a number that differs between processes; walk all 65535 names at most.
  const unsigned start = (unsigned(getpid()) * 2654435761u + unsigned(time(nullptr)) + counter++);
  for (unsigned attempt = 0; attempt < 0xFFFFu; ++attempt) {
    const unsigned number = (start + attempt) % 0xFFFFu + 1;
    char name[PATH_MAX];
    const int length =
        std::snprintf(name, sizeof name, "%s%s%s%X.tmp", folder, slash ? "" : "\\", prefix, number);
    if (length < 0 || size_t(length) + 1 > size || size_t(length) >= sizeof name) return false;
    char native[PATH_MAX];
    if (!Native(name, native)) return false;
    const int fd = open(native, O_RDWR | O_CREAT | O_EXCL, 0600);
    if (fd < 0) {
      if (errno == EEXIST || errno == EINTR) continue;
      return false;
    }
    close(fd);
    std::memcpy(out, name, size_t(length) + 1);
    return true;
  }
  return false;
}
