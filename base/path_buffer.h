// Fixed-size path value: the program's files beside the program, temporary files, file names.
#pragma once

#include <cstdint>

// Size of a path array, the terminating NUL included (MAX_PATH).
constexpr unsigned kPathSize = 260;

// The parts of a split path; each part longer than its array is cut to fit.
struct PathParts {
  char drive[3];        // letter and ':', or empty
  char directory[256];  // keeps its trailing separator
  char fileName[256];   // between directory and extension
  char extension[256];  // keeps its leading '.'
};

// A plain copyable value: a validity byte and up to 259 characters of path in the program's own
// view (a drive and '\' separators; on Linux the backend maps Z:\ to /). Every operation that
// fails leaves the previous path in place, except Compose.
struct PathBuffer {
  // Empty path, valid true.
  PathBuffer();
  // Empty path, then valid = Set(text).
  explicit PathBuffer(const char* text);
  // Empty path, valid false, then valid = Assign(&other).
  PathBuffer(const PathBuffer& other);
  // Copies the other path (as Assign) and its valid flag.
  PathBuffer& operator=(const PathBuffer& other);

  // Empties the path; valid is left alone.
  void Clear();
  // Copies another path exactly; false for a null source (the path is then unchanged).
  bool Assign(const PathBuffer* other);
  // Null makes a temporary file; a text with '\' or '/' is copied unchanged (false if it does
  // not Fits); any other text names a file in the program's folder.
  bool Set(const char* text);
  // Zero-fills parts and splits the path into drive, directory, file name and extension; false
  // for a null record.
  bool Split(PathParts* parts) const;
  // Empties the path and composes it from the parts (each may be null), adding ':', '\' and '.'
  // where missing; false (path left empty) when the result would exceed 259 characters.
  bool Compose(const char* drive, const char* directory, const char* fileName,
               const char* extension);
  // True when text is not null and shorter than 260 characters.
  static bool Fits(const char* text);
  // The program file's full path (null name) or its folder followed by name unchanged; false
  // when the program file is unknown or the result does not fit.
  bool SetInProgramFolder(const char* name);
  // Creates a new empty file "PB....tmp" in the system's temporary folder and takes its path;
  // false when that fails.
  bool MakeTempFile();
  // Replaces file name and extension by name, keeping drive and directory; false for null, a
  // name that does not Fits, or a result that is too long.
  bool SetFileName(const char* name);
  // Copies file name and extension into out; false unless size leaves room for them and the NUL.
  bool GetFileName(char* out, unsigned size) const;

  // True when construction set the path successfully.
  bool valid;
  // NUL-terminated path text, at most 259 characters.
  char path[kPathSize];
};
