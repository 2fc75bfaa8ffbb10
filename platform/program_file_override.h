// Test hook of the system backends: which file the program takes for its own.
//
// Only tests call this, to place "HTML Support" and "Defaults" beside a program file in a
// temporary folder. The real program never calls it, so it finds its folder from the system
// (GetModuleFileNameA, /proc/self/exe) as usual.
#pragma once

// From now on SysGetProgramFile answers path (program view, copied); null restores the real
// program file. Returns false, changing nothing, when path is 260 characters or longer.
bool SysOverrideProgramFile(const char* path);
