// Writing one of the program's settings files in "Defaults" beside the program.
#pragma once

#include "app/conversion_failure.h"
#include "base/string_buffer.h"

// Relative name of the settings folder inside the program folder.
extern const char kDefaultsFolder[];

// Writes text whole to the file relativeName inside the program folder, creating the
// "Defaults" folder first when it is missing. False when the file cannot be written: an
// existing file is then unchanged, and failure (when given) holds a kSettingsUnwritable
// failure naming the file and the system's reason.
bool WriteSettingsFile(const char* relativeName, const StringBuffer& text,
                       ConversionFailure* failure);
