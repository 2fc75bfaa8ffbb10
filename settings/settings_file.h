// Writing one of the program's settings files where the settings live (settings_location.h).
#pragma once

#include "base/string_buffer.h"
#include "core/conversion_failure.h"

// Writes text whole to the settings file relativeName ("\Defaults\..." as in the program
// folder; SetSettingsPath says where it lands), creating its folder first when it is missing. False
// when the file cannot be written: an existing file is then unchanged, and failure (when given)
// holds a kSettingsUnwritable failure naming the file and the system's reason.
bool WriteSettingsFile(const char* relativeName, const StringBuffer& text,
                       ConversionFailure* failure);
