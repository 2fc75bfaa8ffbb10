#include "core/conversion_failure.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "core/text_of.h"
#include "platform/file_replace.h"
#include "platform/native_path.h"

namespace {

struct FailureMessage {
  ConversionFailureKind kind;
  // printf format: the path, then the reason.
  const char* format;
};

const FailureMessage kMessages[] = {
    {ConversionFailureKind::kTemplateUnreadable, "Could not read the template %s: %s"},
    {ConversionFailureKind::kPageUnwritable, "Could not write the page %s: %s"},
    {ConversionFailureKind::kPathTooLong, "The path is too long: %s"},
    {ConversionFailureKind::kNoTemplates, "No templates in %s"},
    {ConversionFailureKind::kSettingsUnwritable, "Could not save the settings %s: %s"},
    {ConversionFailureKind::kNoMemoryForPage, "Not enough memory to make the page %s"},
    {ConversionFailureKind::kSettingsForeign,
     "Ignored the settings %s: it belongs to another user"},
    {ConversionFailureKind::kTooManyAnimations,
     "The scene %s has too many animations for one page"},
    {ConversionFailureKind::kNoMemoryForScene, "Not enough memory to read %s"},
    {ConversionFailureKind::kBackslashName, "File names with a backslash are not supported: %s"},
    {ConversionFailureKind::kTemplateEmpty, "The template %s is empty"},
    {ConversionFailureKind::kCancelled, "The conversion of %s was cancelled"},
};

}  // namespace

bool UserPathOf(const char* programPath, StringBuffer& out) {
  if (programPath == nullptr) programPath = "";
  // The native form is never longer than the program's view.
  const size_t size = std::strlen(programPath) + 1;
  std::unique_ptr<char[]> native(new (std::nothrow) char[size]);
  if (!native) return false;
  char* text = native.get();
  if (!NativePathFromProgram(programPath, text, uint32_t(size))) {
    std::memcpy(text, programPath, size);
  }
  // A folder joined to a name that starts with a separator doubles it: shown once. The
  // first two characters stay, as they may open a network path.
  size_t kept = std::min<size_t>(2, std::strlen(text));
  for (size_t i = kept; text[i] != '\0'; ++i) {
    const bool separator = text[i] == '/' || text[i] == '\\';
    if (separator && text[kept - 1] == text[i]) continue;
    text[kept++] = text[i];
  }
  text[kept] = '\0';
  return out.SetText(text, -1, 0);
}

bool ConversionFailure::Set(ConversionFailureKind failed, const char* programPath,
                            uint32_t systemError) {
  char reasonText[256] = "";
  if (systemError != 0) SysErrorText(systemError, reasonText, sizeof reasonText);
  kind = failed;
  if (!UserPathOf(programPath, path)) path.Reset();
  if (!reason.SetText(reasonText, -1, 0)) reason.Reset();
  return false;
}

bool ConversionFailure::SetUserPath(ConversionFailureKind failed, const char* userPath,
                                    const char* reasonText) {
  kind = failed;
  if (!path.SetText(userPath != nullptr ? userPath : "", -1, 0)) path.Reset();
  if (!reason.SetText(reasonText != nullptr ? reasonText : "", -1, 0)) reason.Reset();
  return false;
}

void ConversionFailure::Clear() {
  kind = ConversionFailureKind::kNone;
  path.Reset();
  reason.Reset();
}

bool ConversionFailure::FormatMessage(StringBuffer& out) const {
  for (const FailureMessage& message : kMessages) {
    if (message.kind == kind) return out.Format(message.format, TextOf(path), TextOf(reason));
  }
  return out.SetText("", -1, 0);
}
