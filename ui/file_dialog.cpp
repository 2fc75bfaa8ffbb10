#include "ui/file_dialog.h"

#include <memory>
#include <new>

#include "base/path_buffer.h"
#include "base/string_buffer.h"
#include "platform/gui_dialogs.h"

bool ChooseFile(void* owner, const char* title, const char* filter, PathBuffer* path, int mode,
                bool mustExist) {
  return ChooseFile(owner, title, filter, path, mode, mustExist, nullptr);
}

bool ChooseFile(void* owner, const char* title, const char* filter, PathBuffer* path, int mode,
                bool mustExist, StringBuffer* tooLong) {
  if (tooLong) tooLong->SetText("", -1, 0);
  if (!path || (mode != 0 && mode != 1)) return false;
  PathParts parts;
  path->Split(&parts);
  // The initial name's extension without its point becomes the default extension.
  const char* extension = parts.extension[0] == '.' ? parts.extension + 1 : parts.extension;
  platform::FileDialogRequest request{};
  request.owner = owner;
  request.title = title;
  request.filter = filter;
  request.path = path->path;
  request.defaultExtension = extension;
  request.flags = kChooseFileFlags | (mustExist ? kChooseFileMustExistFlags : 0);
  request.save = mode == 1;
  // Room for the longest native path a system hands over.
  constexpr uint32_t kLongPathSize = 4096;
  std::unique_ptr<char[]> longPath(tooLong ? new (std::nothrow) char[kLongPathSize] : nullptr);
  if (longPath) {
    longPath[0] = '\0';
    request.longPath = longPath.get();
    request.longPathSize = kLongPathSize;
  }
  const bool chosen = platform::RunFileDialog(&request);
  if (!chosen && longPath && longPath[0] != '\0') tooLong->SetText(longPath.get(), -1, 0);
  return chosen;
}
