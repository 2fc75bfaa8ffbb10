// Linux: files written whole through a temporary file beside them, moved over with rename.
#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/file_system.h"
#include "platform/native_path.h"

namespace {

// Native form of a program path; false (errno ENAMETOOLONG) when it does not translate.
bool Native(const char* path, char (&out)[PATH_MAX]) {
  if (path == nullptr || !NativePathFromProgram(path, out, sizeof out) || out[0] == '\0') {
    errno = path == nullptr || path[0] == '\0' ? ENOENT : ENAMETOOLONG;
    return false;
  }
  return true;
}

// What FollowLinks saw of the file at the end of the links: its status (`found`), or the errno
// of looking it up (`error`). Neither when a link could not be read.
struct LinkEnd {
  struct stat info;
  bool found = false;
  int error = 0;
};

// Follows path through symbolic links to the file they lead to, which need not exist; false
// (errno ELOOP or ENAMETOOLONG) for a loop of links or a path that grows too long. `end` (may
// be null) receives what the last look-up saw, which spares the caller looking again.
bool FollowLinks(char (&path)[PATH_MAX], LinkEnd* end = nullptr) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat info;
    if (lstat(path, &info) != 0) {
      if (end != nullptr) end->error = errno;
      return true;
    }
    if (!S_ISLNK(info.st_mode)) {
      if (end != nullptr) {
        end->info = info;
        end->found = true;
      }
      return true;
    }
    char link[PATH_MAX];
    const ssize_t length = readlink(path, link, sizeof link - 1);
    if (length < 0) return true;
    link[length] = '\0';
    // A relative link starts from the folder of the link.
    char* slash = std::strrchr(path, '/');
    const size_t keep = link[0] == '/' || slash == nullptr ? 0 : size_t(slash - path) + 1;
    if (keep + size_t(length) >= sizeof path) {
      errno = ENAMETOOLONG;
      return false;
    }
    std::memcpy(path + keep, link, size_t(length) + 1);
  }
  errno = ELOOP;
  return false;
}

// Gives the open unnamed file fd the name path; false (errno set) on failure. linkat with
// AT_EMPTY_PATH names the file itself; kernels before 6.10 allow that only to a user who may
// read any folder, and refuse others with ENOENT. The way through the file's link in
// /proc/self/fd works for every user, but its look-up takes locks that all the threads of the
// process share, which slows workers that write pages at once.
bool LinkOpenFile(int fd, const char* path) {
  static std::atomic<bool> emptyPathRefused{false};
  if (!emptyPathRefused.load(std::memory_order_relaxed)) {
    if (linkat(fd, "", AT_FDCWD, path, AT_EMPTY_PATH) == 0) return true;
    if (errno != ENOENT) return false;
  }
  char self[32];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  if (linkat(AT_FDCWD, self, AT_FDCWD, path, AT_SYMLINK_FOLLOW) != 0) return false;
  // The name was free and the folder there: the kernel refuses the empty path to this user.
  emptyPathRefused.store(true, std::memory_order_relaxed);
  return true;
}

// Links the open unnamed file fd under a temporary name beside target and renames that over
// target; false (errno set, nothing left) on failure.
bool LinkOver(int fd, const char* target) {
  char temp[PATH_MAX];
  static std::atomic<unsigned> counter{0};
  // A short name in the target's folder, so that a target whose name is near the longest a
  // name may be can still be replaced.
  const char* slash = std::strrchr(target, '/');
  const int folderLength = slash != nullptr ? int(slash - target) + 1 : 0;
  for (unsigned attempt = 0; attempt < 64; ++attempt) {
    const int length = std::snprintf(temp, sizeof temp, "%.*s.~krn%u-%u.tmp", folderLength, target,
                                     unsigned(getpid()), counter++);
    if (length < 0 || size_t(length) >= sizeof temp) {
      errno = ENAMETOOLONG;
      return false;
    }
    if (!LinkOpenFile(fd, temp)) {
      if (errno == EEXIST) continue;
      return false;
    }
    if (rename(temp, target) == 0) return true;
    const int error = errno;
    unlink(temp);
    errno = error;
    return false;
  }
  errno = EEXIST;
  return false;
}

constexpr char kHardLinksText[] =
    "The file has other hard links, which a new file would part from it";

// The set-user-id and set-group-id bits, which writing to a file may clear.
constexpr uint32_t kSetIdBits = 06000;

// True when unnamed files (O_TMPFILE) can be named: through linkat's empty path, or the
// fallback through /proc.
bool CanNameUnnamedFiles() {
  static const bool canName = access("/proc/self/fd", X_OK) == 0;
  return canName;
}

// Whether the existing file at native, whose status is info, may be replaced; its mode bits
// (never 0) in *kept when it may. False with errno set when it may not.
bool MayReplaceExisting(const char* native, const struct stat& info, uint32_t* kept) {
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return false;
  }
  // A new file would part this name from the file's other names, which would keep the old
  // page: refused rather than written in place, which a failure could leave half written.
  if (info.st_nlink > 1) {
    errno = int(kSysErrorHardLinks);
    return false;
  }
  // A rename would replace a file the user may not write when its folder is writable. A file
  // without any write permission is read-only, even for a user (root) whom the system would
  // let write it.
  if ((info.st_mode & 0222) == 0) {
    errno = EACCES;
    return false;
  }
  if (access(native, W_OK) != 0) return false;
  // Not 0: a file without any write permission was refused above.
  *kept = uint32_t(info.st_mode & 07777);
  return true;
}

// Gives the new file fd the owner and group of the file it replaces (old) where the system
// lets this user give them (root both, an owner a group of theirs); before the mode, as a
// change of owner clears set-id bits. Otherwise the new file stays the writer's.
void TakeOwner(int fd, const struct stat& old) {
  struct stat made;
  if (fstat(fd, &made) == 0 && (made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
      fchown(fd, old.st_uid, old.st_gid) != 0 && made.st_gid != old.st_gid) {
    (void)!fchown(fd, uid_t(-1), old.st_gid);
  }
}

// An unnamed file meant for a new page whose name turned out to be taken: the file there is
// checked now, and the new file given its owner and permissions. False with errno set when it
// may not be replaced, or kSysErrorLookUpFirst when the name is a symbolic link, whose end may
// lie in another folder than the unnamed file.
bool AdoptExisting(int fd, const char* native) {
  struct stat info;
  if (lstat(native, &info) != 0) return errno == ENOENT;  // gone again: linked as new
  if (S_ISLNK(info.st_mode)) {
    errno = int(kSysErrorLookUpFirst);
    return false;
  }
  uint32_t kept = 0;
  if (!MayReplaceExisting(native, info, &kept)) return false;
  TakeOwner(fd, info);
  // Every byte is written: the set-id bits, which a write would clear, can go on now.
  return fchmod(fd, kept) == 0;
}

}  // namespace

static_assert(sizeof(FileReplacement::file) == PATH_MAX, "a replacement holds a native path");

void* SysCreateFileBeside(const FileReplacement& replacement, char* tempPath, uint32_t size) {
  if (tempPath == nullptr || size == 0) {
    errno = EINVAL;
    return nullptr;
  }
  const char* native = replacement.file;
  const uint32_t kept = replacement.kept;
  struct stat old;
  const bool replacing = kept != 0 && stat(native, &old) == 0;
  const char* slash = std::strrchr(native, '/');
  const size_t folderLength = slash != nullptr ? size_t(slash - native) + 1 : 0;
  // The temporary file's path: the folder, then ".~krnXXXX.tmp" with four hex digits.
  constexpr char kPrefix[] = ".~krn";
  constexpr char kSuffix[] = ".tmp";
  constexpr size_t kNameLength = sizeof kPrefix - 1 + 4 + sizeof kSuffix - 1;
  char name[PATH_MAX];
  std::memcpy(name, native, folderLength);
  name[folderLength] = '\0';
  // A folder without any write permission is read-only, even for a user (root) whom the
  // system would let write there.
  // A target not looked at yet may be a link whose file lies in another folder: any failure
  // here asks for the look-up first, which finds the folder to write in and its own failure.
  const int refused = replacement.checkAtCommit ? int(kSysErrorLookUpFirst) : EACCES;
  struct stat info;
  if (folderLength > 0 && stat(name, &info) == 0 && S_ISDIR(info.st_mode) &&
      (info.st_mode & 0222) == 0) {
    errno = refused;
    return nullptr;
  }
  // A new page without an old file (or whose old file is checked at the commit) is made
  // without a name (O_TMPFILE) and given its name in one step when it is whole: one change of the
  // folder instead of two (a create and a rename), which the folder's lock would serialize between
  // workers. File systems without unnamed files, and a system without /proc (through which the file
  // gets its name), take the named way.
  if (kept == 0 && CanNameUnnamedFiles()) {
    int fd;
    do {
      fd = open(folderLength > 0 ? name : ".", O_TMPFILE | O_WRONLY, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
      tempPath[0] = '\0';
      return reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
    }
    // Also a file system without unnamed files: a target not looked up yet must be, as the
    // named way replaces whatever is there.
    if (replacement.checkAtCommit) {
      errno = refused;
      return nullptr;
    }
  }
  if (folderLength + kNameLength >= sizeof name) {
    errno = ENAMETOOLONG;
    return nullptr;
  }
  char* digits = name + folderLength + sizeof kPrefix - 1;
  std::memcpy(name + folderLength, kPrefix, sizeof kPrefix - 1);
  std::memcpy(digits + 4, kSuffix, sizeof kSuffix);
  // Names differ between processes by their ids and within one by a counter; a name taken
  // anyway (O_EXCL refuses it) moves on to the next.
  static const unsigned base = unsigned(getpid()) * 2654435761u + unsigned(time(nullptr));
  static std::atomic<unsigned> counter{0};  // workers of one run make temporary files at once
  const unsigned start = base + counter++;
  for (unsigned attempt = 0; attempt < 0x10000u; ++attempt) {
    const unsigned number = (start + attempt) & 0xFFFFu;
    for (int i = 0; i < 4; ++i) digits[i] = "0123456789ABCDEF"[(number >> (12 - 4 * i)) & 15u];
    int fd;
    do {
      fd = open(name, O_WRONLY | O_CREAT | O_EXCL, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return nullptr;
    }
    if (replacing) TakeOwner(fd, old);
    // The replaced file's permissions, given through the open file: no path to look up.
    const bool permitted = kept == 0 || (kept & kSetIdBits) != 0 || fchmod(fd, kept) == 0;
    if (!permitted || !ProgramPathFromNative(name, tempPath, size)) {
      const int error = permitted ? ENAMETOOLONG : errno;
      close(fd);
      unlink(name);
      errno = error;
      return nullptr;
    }
    return reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
  }
  errno = EEXIST;
  return nullptr;
}

bool SysMayReplaceFile(const char* target, FileReplacement* replacement, bool checkAtCommit) {
  if (replacement == nullptr) {
    errno = EINVAL;
    return false;
  }
  replacement->file[0] = '\0';
  replacement->kept = 0;
  replacement->checkAtCommit = false;
  char(&native)[PATH_MAX] = replacement->file;
  if (!Native(target, native)) return false;
  // Looking up a name that does not exist takes the folder's lock, which the other workers'
  // new pages hold while they are named: a batch of new pages spends much of its time
  // waiting there. The unnamed file's naming tells whether the name is taken instead.
  if (checkAtCommit && CanNameUnnamedFiles()) {
    replacement->checkAtCommit = true;
    return true;
  }
  LinkEnd end;
  if (!FollowLinks(native, &end)) return false;
  struct stat info;
  if (end.found) {
    info = end.info;
  } else if (end.error != 0) {
    errno = end.error;
    return errno == ENOENT;
  } else if (stat(native, &info) != 0) {
    return errno == ENOENT;
  }
  return MayReplaceExisting(native, info, &replacement->kept);
}

bool SysCommitFileBeside(void* file, const char* tempPath, const FileReplacement& replacement) {
  if (file == nullptr || tempPath == nullptr) {
    errno = EINVAL;
    return false;
  }
  if (tempPath[0] == '\0') {
    // An unnamed file gets the page's name while it is open (closing it would free it).
    const int fd = int(reinterpret_cast<intptr_t>(file) - 1);
    bool linked = LinkOpenFile(fd, replacement.file);
    // A name taken by a file not looked up before is checked now. A page made meanwhile
    // (another worker's of the same name) is replaced, as a rename would: the file gets a
    // temporary name first and is moved over it.
    if (!linked && errno == EEXIST &&
        (!replacement.checkAtCommit || AdoptExisting(fd, replacement.file))) {
      linked = LinkOver(fd, replacement.file);
    }
    const int error = errno;
    if (!SysCloseFile(file) && linked) {
      const int closeError = errno;
      unlink(replacement.file);
      errno = closeError;
      return false;
    }
    errno = error;
    return linked;
  }
  if (!SysCloseFile(file)) return false;
  char from[PATH_MAX];
  if (!Native(tempPath, from)) return false;
  // Set-id bits go on after the writes, which would have cleared them.
  const uint32_t kept = replacement.kept;
  if ((kept & kSetIdBits) != 0 && chmod(from, kept) != 0) return false;
  return rename(from, replacement.file) == 0;
}

bool SysDeleteFile(const char* path) {
  char native[PATH_MAX];
  return Native(path, native) && unlink(native) == 0;
}

bool SysCreateFolder(const char* path) {
  char native[PATH_MAX];
  if (!Native(path, native)) return false;
  if (mkdir(native, 0777) == 0) return true;
  const int error = errno;
  struct stat info;
  if (error == EEXIST && stat(native, &info) == 0 && S_ISDIR(info.st_mode)) return true;
  errno = error;
  return false;
}

uint32_t SysLastError() {
  return uint32_t(errno);
}

void SysSetLastError(uint32_t code) {
  errno = int(code);
}

uint32_t SysDiskFullError() {
  return ENOSPC;
}

bool SysErrorText(uint32_t code, char* out, uint32_t size) {
  if (out == nullptr || size == 0) return false;
  if (code == kSysErrorHardLinks) {
    std::snprintf(out, size, "%s", kHardLinksText);
    return true;
  }
  if (code == kSysErrorLookUpFirst) {
    std::snprintf(out, size, "The file must be looked at before it is written");
    return true;
  }
  std::snprintf(out, size, "%s", std::strerror(int(code)));
  return true;
}
