// The template and field values of one krn2html-convert command, found the way the window
// program finds them (the catalogue of "HTML Support", the remembered default template, the
// remembered values of the template, its defaults) and only ever read.
#pragma once

#include "base/path_buffer.h"
#include "base/string_buffer.h"
#include "base/string_list.h"
#include "core/conversion_failure.h"
#include "settings/converter_state.h"

struct ConvertSettings {
  // The catalogue, the chosen template's name (its file name) and its fields with their values.
  ConverterState state;
  // The template the window would use: the remembered default, else the catalogue's first.
  StringBuffer defaultTemplate;
  // The chosen template file.
  PathBuffer templatePath;
  // A remembered settings file left unread because it belongs to another user.
  ConversionFailure foreign;
};

// Fills the catalogue and the default template from the program folder, as a build of the main
// window does, without writing anything.
void LoadTemplateCatalogue(ConvertSettings& settings);

// Chooses the template: null for the default template, a file name of "HTML Support", or the
// native path of any template file (relative to currentFolder, a program-view folder). False,
// with error set to one line, when that file does not exist.
bool ChooseTemplate(ConvertSettings& settings, const char* choice, const char* currentFolder,
                    StringBuffer& error);

// Fills the chosen template's fields with its defaults, then (when useSaved) the remembered
// values, then the given values by name. False, with error set, when the template cannot be read
// or a given name is not one of its fields.
bool FillFieldValues(ConvertSettings& settings, bool useSaved, const StringList& names,
                     const StringList& values, StringBuffer& error);
