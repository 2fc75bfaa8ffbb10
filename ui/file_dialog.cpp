#include "ui/file_dialog.h"

#include "base/path_buffer.h"
#include "platform/gui_dialogs.h"

bool ChooseFile(void* owner, const char* title, const char* filter, PathBuffer* path, int mode,
                bool mustExist) {
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
  return platform::RunFileDialog(&request);
}
