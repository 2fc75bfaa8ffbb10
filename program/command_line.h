// The command line of the Linux program as the application entry expects it:
// the text after the program's name.
#pragma once

#include <string>

// Joins argv[1..argc-1] with single spaces into one command line, the way a
// Windows command line spells its arguments: an argument that is empty or holds
// a space, tab or double quote is written in double quotes, with its quotes and
// the backslashes before them escaped. Returns the empty text when there are no
// arguments, and a non-empty text whenever there is at least one.
std::string JoinCommandLine(int argc, const char* const* argv);
