// ConversionFailure: what stopped a conversion or a save, as a value the front end tells the
// user (a message box in the window, a line on standard error in a command).
#pragma once

#include <cstdint>

#include "base/string_buffer.h"

// What failed. Each kind has one message (ConversionFailure::FormatMessage); a new kind is a
// new value here and a new row in the message table.
enum class ConversionFailureKind : int {
  kNone = 0,
  // "Could not read the template <path>: <reason>"
  kTemplateUnreadable,
  // "Could not write the page <path>: <reason>"
  kPageUnwritable,
  // "The path is too long: <path>"
  kPathTooLong,
  // "No templates in <path>"
  kNoTemplates,
  // "Could not save the settings <path>: <reason>"
  kSettingsUnwritable,
  // "Not enough memory to make the page <path>"
  kNoMemoryForPage,
  // "Ignored the settings <path>: it belongs to another user"
  kSettingsForeign,
  // "The scene <path> has too many animations for one page"
  kTooManyAnimations,
  // "Not enough memory to read <path>"
  kNoMemoryForScene,
  // "File names with a backslash are not supported: <path>" (Linux)
  kBackslashName,
  // "The template <path> is empty"
  kTemplateEmpty,
  // "The conversion of <path> was cancelled"
  kCancelled,
};

// One failure: its kind, the file or folder it concerns in the user's form (the native path
// on Linux, not the program's Z:\ view) and the system's reason ("Permission denied"), which
// is empty for kinds whose message has none.
struct ConversionFailure {
  ConversionFailureKind kind = ConversionFailureKind::kNone;
  StringBuffer path;
  StringBuffer reason;

  // True when a failure is recorded.
  bool Failed() const { return kind != ConversionFailureKind::kNone; }
  // Records a failure about programPath (the program's view, any length), with the text of
  // systemError as its reason (0: no reason). Returns false, so a failing step can end with
  // `return failure.Set(...)`.
  bool Set(ConversionFailureKind failed, const char* programPath, uint32_t systemError);
  // Records a failure whose path is already in the user's form; returns false.
  bool SetUserPath(ConversionFailureKind failed, const char* userPath, const char* reasonText);
  // Forgets the failure.
  void Clear();
  // Writes the one-line message of the failure into out ("" for kNone); false when out
  // cannot hold it.
  bool FormatMessage(StringBuffer& out) const;
};

// Writes the user's form of a program-view path into out: the native path on Linux, the same
// path on Windows. False when out cannot hold it.
bool UserPathOf(const char* programPath, StringBuffer& out);
