// Writing a page where the user chooses: the save dialog, then the conversion core.
#pragma once

#include "settings/converter_state.h"

// Title and filter of the save dialog for the page.
extern const char kSavePageTitle[];
extern const char kSavePageFilter[];

// Asks for the page's path (save dialog), then makes the page with the conversion
// core (AssemblePage). False after a cancel (nothing happens) or when the page was
// not written; the failure is then shown in the program's message box, naming the
// page or template and the system's reason, and no existing file is changed.
bool WritePage(const char* templatePath, const char* scenePath, const ConverterState* state);
