#include "base/path_buffer.h"

#include <cstring>
#include <string_view>

#include "base/path_split.h"
#include "platform/file_system.h"

namespace {

// Copies at most size - 1 characters of part into out and ends it with a NUL.
void CopyCut(char* out, size_t size, const char* part, size_t length) {
  if (length >= size) length = size - 1;
  std::memcpy(out, part, length);
  out[length] = '\0';
}

// Composes drive, directory and file name (each may be null) and an extension into out;
// false when the result would exceed 259 characters.
bool ComposeInto(char* out, std::string_view drive, const char* directory, std::string_view name,
                 const char* extension) {
  size_t directoryLength = directory != nullptr ? std::strlen(directory) : 0;
  size_t extensionLength = extension != nullptr ? std::strlen(extension) : 0;
  const bool addSlash = directoryLength != 0 && !IsSlash(directory[directoryLength - 1]);
  const bool addPoint = extensionLength != 0 && extension[0] != '.';
  const size_t total = (drive.empty() ? 0 : 2) + directoryLength + (addSlash ? 1 : 0) +
                       name.size() + (addPoint ? 1 : 0) + extensionLength;
  if (total > kPathSize - 1) return false;
  size_t at = 0;
  if (!drive.empty()) {
    out[at++] = drive[0];
    out[at++] = ':';
  }
  if (directoryLength != 0) std::memcpy(out + at, directory, directoryLength);
  at += directoryLength;
  if (addSlash) out[at++] = '\\';
  if (!name.empty()) std::memcpy(out + at, name.data(), name.size());
  at += name.size();
  if (addPoint) out[at++] = '.';
  if (extensionLength != 0) std::memcpy(out + at, extension, extensionLength);
  at += extensionLength;
  out[at] = '\0';
  return true;
}

// Composes the drive and directory of path with name (no extension) into out; false when too
// long.
bool ComposeWithName(char* out, const char* path, const char* name) {
  const PathSpans spans = SplitPathSpans(path);
  char directory[kPathSize];
  CopyCut(directory, sizeof directory, path + spans.directoryStart, spans.directoryLength);
  return ComposeInto(out, std::string_view(path, spans.driveLength), directory,
                     std::string_view(name), nullptr);
}

}  // namespace

PathBuffer::PathBuffer() : valid(true) {
  path[0] = '\0';
}

PathBuffer::PathBuffer(const char* text) : valid(false) {
  path[0] = '\0';
  valid = Set(text);
}

PathBuffer::PathBuffer(const PathBuffer& other) : valid(false) {
  path[0] = '\0';
  valid = Assign(&other);
}

PathBuffer& PathBuffer::operator=(const PathBuffer& other) {
  if (this != &other && Assign(&other)) valid = other.valid;
  return *this;
}

void PathBuffer::Clear() {
  path[0] = '\0';
}

bool PathBuffer::Assign(const PathBuffer* other) {
  if (other == nullptr) return false;
  // Splitting and composing again gives back the very same text for any path that fits, and a
  // direct copy keeps parts longer than a PathParts array intact.
  const size_t length = strnlen(other->path, kPathSize);
  if (length >= kPathSize) return false;
  std::memmove(path, other->path, length + 1);
  return true;
}

bool PathBuffer::Set(const char* text) {
  if (text == nullptr) return MakeTempFile();
  if (std::strchr(text, '\\') != nullptr || std::strchr(text, '/') != nullptr) {
    if (!Fits(text)) return false;
    std::memmove(path, text, std::strlen(text) + 1);
    return true;
  }
  return SetInProgramFolder(text);
}

bool PathBuffer::Split(PathParts* parts) const {
  if (parts == nullptr) return false;
  std::memset(parts, 0, sizeof *parts);
  const PathSpans spans = SplitPathSpans(path);
  CopyCut(parts->drive, sizeof parts->drive, path, spans.driveLength);
  CopyCut(parts->directory, sizeof parts->directory, path + spans.directoryStart,
          spans.directoryLength);
  CopyCut(parts->fileName, sizeof parts->fileName, path + spans.nameStart, spans.nameLength);
  CopyCut(parts->extension, sizeof parts->extension, path + spans.extensionStart,
          spans.extensionLength);
  return true;
}

bool PathBuffer::Compose(const char* drive, const char* directory, const char* fileName,
                         const char* extension) {
  // Built apart first, so that parts taken from this very path stay readable.
  char composed[kPathSize];
  const bool fits = ComposeInto(
      composed, drive != nullptr ? std::string_view(drive) : std::string_view(), directory,
      fileName != nullptr ? std::string_view(fileName) : std::string_view(), extension);
  if (!fits) {
    path[0] = '\0';
    return false;
  }
  std::memcpy(path, composed, std::strlen(composed) + 1);
  return true;
}

bool PathBuffer::Fits(const char* text) {
  return text != nullptr && strnlen(text, kPathSize) < kPathSize;
}

bool PathBuffer::SetInProgramFolder(const char* name) {
  char program[kPathSize];
  if (SysGetProgramFile(program, kPathSize - 1) == 0) return false;
  if (name == nullptr) {
    std::memcpy(path, program, std::strlen(program) + 1);
    return true;
  }
  if (!Fits(name)) return false;
  char composed[kPathSize];
  if (!ComposeWithName(composed, program, name)) return false;
  std::memcpy(path, composed, std::strlen(composed) + 1);
  return true;
}

bool PathBuffer::MakeTempFile() {
  char folder[kPathSize];
  if (SysGetTempFolder(folder, kPathSize) == 0) return false;
  char file[kPathSize];
  if (!SysMakeTempFile(folder, "PB", file, kPathSize)) return false;
  std::memcpy(path, file, std::strlen(file) + 1);
  return true;
}

bool PathBuffer::SetFileName(const char* name) {
  if (!Fits(name)) return false;
  char composed[kPathSize];
  if (!ComposeWithName(composed, path, name)) return false;
  std::memcpy(path, composed, std::strlen(composed) + 1);
  return true;
}

bool PathBuffer::GetFileName(char* out, unsigned size) const {
  if (out == nullptr) return false;
  const PathSpans spans = SplitPathSpans(path);
  const size_t length = spans.nameLength + spans.extensionLength;
  if (size < length + 1) return false;
  std::memcpy(out, path + spans.nameStart, length);
  out[length] = '\0';
  return true;
}
