#include "app/settings_file.h"

#include "app/text_of.h"
#include "base/path_buffer.h"
#include "base/whole_file_writer.h"
#include "platform/file_replace.h"

const char kDefaultsFolder[] = "\\Defaults";

bool WriteSettingsFile(const char* relativeName, const StringBuffer& text,
                       ConversionFailure* failure) {
  PathBuffer path;
  if (!path.SetInProgramFolder(relativeName)) {
    // The program file is unknown or the path does not fit: name what was meant.
    if (failure != nullptr) failure->Set(ConversionFailureKind::kPathTooLong, relativeName, 0);
    return false;
  }
  PathBuffer folder;
  if (folder.SetInProgramFolder(kDefaultsFolder)) SysCreateFolder(folder.path);
  uint32_t error = 0;
  if (WriteWholeFile(path.path, TextOf(text), text.Length(), &error)) return true;
  if (failure != nullptr)
    failure->Set(ConversionFailureKind::kSettingsUnwritable, path.path, error);
  return false;
}
