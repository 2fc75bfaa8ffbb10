#include "settings/settings_file.h"

#include "base/path_buffer.h"
#include "base/whole_file_writer.h"
#include "core/text_of.h"
#include "platform/file_replace.h"
#include "settings/settings_location.h"

bool WriteSettingsFile(const char* relativeName, const StringBuffer& text,
                       ConversionFailure* failure) {
  PathBuffer path;
  if (!SetSettingsPath(path, relativeName)) {
    // The program file is unknown or the path does not fit: name what was meant.
    if (failure != nullptr) failure->Set(ConversionFailureKind::kPathTooLong, relativeName, 0);
    return false;
  }
  PrepareSettingsFolder();
  uint32_t error = 0;
  if (WriteWholeFile(path.path, TextOf(text), text.Length(), &error)) return true;
  if (failure != nullptr)
    failure->Set(ConversionFailureKind::kSettingsUnwritable, path.path, error);
  return false;
}
