// Entry of the Linux desktop program: hands the command line to the
// platform-neutral program entry and returns its exit status.
#include "program/command_line.h"
#include "window/program_entry.h"

int main(int argc, char** argv) {
  const std::string commandLine = JoinCommandLine(argc, argv);
  // There is no module instance on Linux; the backends find the program
  // through its own file instead.
  return RunProgram(nullptr, commandLine.c_str());
}
