#include "command/convert_settings.h"

#include <cstring>

#include "base/full_path.h"
#include "base/path_split.h"
#include "core/text_of.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "settings/prefs.h"
#include "settings/settings_location.h"
#include "settings/templates.h"

namespace {

bool IsFile(const char* path) {
  const uint32_t attributes = SysGetFileAttributes(path);
  return attributes != kSysInvalidAttributes && (attributes & kSysAttributeDirectory) == 0;
}

// The template of "HTML Support" named name; false when name holds a separator or the result
// does not fit.
bool InTemplatesFolder(const char* name, PathBuffer& path) {
  if (std::strpbrk(name, "\\/") != nullptr) return false;
  return SetTemplatePath(path, name);
}

bool Fail(StringBuffer& error, const char* format, const char* a) {
  if (!error.Format(format, a)) error.SetText("template not found", -1, 0);
  return false;
}

}  // namespace

void LoadTemplateCatalogue(ConvertSettings& settings) {
  ConverterState& state = settings.state;
  ScanTemplates(&state);
  ChooseFirstTemplate(&state);
  LoadDefaultTemplate(&state, &settings.foreign);
  settings.defaultTemplate.SetText(TextOf(state.templateName), -1, 0);
}

bool ChooseTemplate(ConvertSettings& settings, const char* choice, const char* currentFolder,
                    StringBuffer& error) {
  ConverterState& state = settings.state;
  PathBuffer& path = settings.templatePath;
  if (choice == nullptr) {
    const char* name = TextOf(settings.defaultTemplate);
    if (!InTemplatesFolder(name, path) || !IsFile(path.path)) {
      return Fail(
          error, "the default template '%s' is not in \"HTML Support\"; choose one with --template",
          name);
    }
    return state.templateName.SetText(name, -1, 0);
  }
  // A name of the catalogue's folder first (unless it holds a '\' that the program's view would
  // take for a separator, on Linux), then a file as the command line names it.
  char view[4 * kPathSize];
  if (ProgramPathFromNative(choice, view, sizeof view) && InTemplatesFolder(choice, path) &&
      IsFile(path.path)) {
    return state.templateName.SetText(choice, -1, 0);
  }
  const UserPathOutcome outcome = ProgramPathFromUser(choice, currentFolder, view, sizeof view);
  if (outcome == UserPathOutcome::kBackslashName) {
    return Fail(error, "File names with a backslash are not supported: %s",
                view[0] != '\0' ? view : choice);
  }
  if (outcome != UserPathOutcome::kDone || !MakeFullPath(view, currentFolder, path) ||
      !IsFile(path.path)) {
    return Fail(error, "template '%s' not found (see --list-templates)", choice);
  }
  // The remembered values of a template file follow its file name, as in "HTML Support".
  const PathSpans spans = SplitPathSpans(path.path);
  return state.templateName.SetText(path.path + spans.nameStart, -1, 0);
}

bool FillFieldValues(ConvertSettings& settings, bool useSaved, const StringList& names,
                     const StringList& values, StringBuffer& error) {
  ConverterState& state = settings.state;
  if (!ScanTemplateFieldsAt(&state, settings.templatePath)) {
    char native[4 * kPathSize];
    if (!NativePathFromProgram(settings.templatePath.path, native, sizeof native)) native[0] = 0;
    return Fail(error, "cannot read the template '%s'", native);
  }
  if (useSaved) LoadPrefs(&state, &settings.foreign);
  for (int i = 0; i < names.count; ++i) {
    const char* name = TextOf(names.items[i]);
    const int field = state.fieldNames.IndexOf(name);
    if (field < 0) {
      StringBuffer message;
      if (!message.Format("the template '%s' has no field '%s'", TextOf(state.templateName),
                          name)) {
        message.SetText("no such field", -1, 0);
      }
      error.SetText(message.Data(), -1, 0);
      return false;
    }
    if (!state.fieldValues.items[field].SetText(TextOf(values.items[i]), -1, 0)) {
      return Fail(error, "out of memory setting '%s'", name);
    }
  }
  return true;
}
