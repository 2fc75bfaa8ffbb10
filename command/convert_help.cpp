#include "command/convert_help.h"

#include <cstring>

#include "base/path_buffer.h"
#include "base/string_buffer.h"
#include "command/convert_options.h"
#include "core/conversion_failure.h"
#include "core/text_of.h"
#include "platform/console.h"
#include "settings/settings_location.h"

namespace {

void WriteOut(const char* text) {
  SysWriteStandard(kStandardOutput, text, uint32_t(std::strlen(text)));
}

}  // namespace

void WriteConvertHelp() {
  WriteOut(kConvertHelpText);
  // The folder the settings decision picks for this copy, as the user names it.
  PathBuffer file;
  StringBuffer folder, line;
  const char* place = SettingsInProgramFolder() ? "the program folder's \"Defaults\""
                                                : "the user's settings folder";
  if (SetSettingsPath(file, "\\Defaults\\x") && file.SetFileName("") &&
      UserPathOf(file.path, folder) &&
      line.Format("This copy reads them from %s (%s).\n", TextOf(folder), place)) {
    WriteOut(TextOf(line));
  } else {
    WriteOut("This copy has no settings folder: nothing is remembered.\n");
  }
}
