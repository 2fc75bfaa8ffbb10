// The program's entry, shared by every system's main function: starts the
// toolkit, builds the main window again and again while a rebuild is asked
// for, and stops the toolkit.
#pragma once

// Runs the converter. instance is the program's instance (HINSTANCE on Windows,
// null elsewhere); commandLine is the text after the program's name. Any
// non-empty command line ends the program at once. Returns the exit status, 0.
int RunProgram(void* instance, const char* commandLine);

// One build of the main window: state, window, layout, message loop, teardown.
void RunMainWindow();
