// Writing a page where the user chooses: the save dialog, then the conversion core.
#pragma once

#include "base/path_buffer.h"
#include "settings/converter_state.h"

// Title and filter of the save dialog for the page.
extern const char kSavePageTitle[];
extern const char kSavePageFilter[];

// Brings the main window to the front and asks for the page's path (save dialog). False after
// a cancel (nothing happens) or for a name too long for the program (told).
bool ChoosePagePath(PathBuffer& pagePath);

// Makes the page at pagePath with the conversion core (AssemblePage). False when the page was
// not written; the failure is then shown in the program's message box, naming the page or
// template and the system's reason, and no existing file is changed.
bool WritePageAt(const char* templatePath, const char* scenePath, const char* pagePath,
                 const ConverterState* state);

// ChoosePagePath, then WritePageAt. False after a cancel or when the page was not written.
bool WritePage(const char* templatePath, const char* scenePath, const ConverterState* state);
