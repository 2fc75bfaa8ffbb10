// Entry of the command-line converter, the same on every system: hands the arguments to the
// platform-neutral command and returns its exit status.
#include "command/convert_command.h"

int main(int argc, char** argv) {
  return RunConvertCommand(argc, argv);
}
