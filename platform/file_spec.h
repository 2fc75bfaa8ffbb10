// System seam: the folder part of a path in the program's view.
//
// Implemented by the system backends: PathRemoveFileSpecA on Windows, the same rule in code on
// Linux (whose paths the program sees as Z:\...).
#pragma once

// Cuts path at its last '\', keeping the '\' of a root such as "C:\" or "\"; a path without '\'
// stays as it is. Returns true when something was cut, false otherwise or for null.
bool SysRemoveFileSpec(char* path);
