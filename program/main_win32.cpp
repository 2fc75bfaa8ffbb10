// Entry of the Windows program: hands the instance and the command line (the
// text after the program's name) to the platform-neutral program entry.
#include <windows.h>

#include "window/program_entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  return RunProgram(instance, commandLine ? commandLine : "");
}
