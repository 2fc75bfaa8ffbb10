// krn2html-convert: scene files become pages without a window, through the same conversion core
// as the window program; the remembered settings are read, never written.
#pragma once

// Exit statuses: every page written; a scene failed; a usage error.
constexpr int kConvertExitOk = 0;
constexpr int kConvertExitFailed = 1;
constexpr int kConvertExitUsage = 2;

// Runs the command for argv[1..argc-1] and returns its exit status. Pages go to files or to
// standard output; failures, warnings and the progress line to standard error.
int RunConvertCommand(int argc, const char* const* argv);
