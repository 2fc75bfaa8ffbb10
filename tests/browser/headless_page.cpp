// Makes one page through the window program's own conversion path on the headless desktop:
// the real application code with the save dialog answered from a script.
//
//   krn_headless_page PROGRAM TEMPLATE SCENE PAGE [NAME=VALUE]...
//
// PROGRAM is a program file whose folder holds "HTML Support" (its version block gives
// BUILD); TEMPLATE a file name in that folder; SCENE and PAGE native paths; each NAME=VALUE
// sets a field as if typed into its box. Exit status 0 when the page was written, 1 when not,
// 2 for a usage error.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/app_globals.h"
#include "app/conversion.h"
#include "app/converter_state.h"
#include "app/templates.h"
#include "base/path_buffer.h"
#include "platform/file_system.h"
#include "platform/gui_input.h"  // headless_desktop.h uses KeyState without including it
#include "platform/headless/headless_desktop.h"
#include "platform/native_path.h"
#include "platform/program_file_override.h"
#include "ui/toolkit_runtime.h"

namespace {

std::string ProgramView(const char* native) {
  char out[sizeof(PathBuffer::path)];
  return ProgramPathFromNative(native, out, sizeof out) ? out : "";
}

bool SetField(ConverterState& state, const char* assignment) {
  const char* equals = std::strchr(assignment, '=');
  if (equals == nullptr) return false;
  const std::string name(assignment, equals);
  const int index = state.fieldNames.IndexOf(name.c_str());
  if (index < 0) return false;
  return state.fieldValues.items[index].SetText(equals + 1, -1, 0);
}

int Convert(int argc, char** argv) {
  ConverterState state;
  const std::string program = ProgramView(argv[1]);
  if (program.empty() || !SysOverrideProgramFile(program.c_str()) ||
      !state.templateName.SetText(argv[2], -1, 0) || !ScanTemplateFields(&state)) {
    std::fprintf(stderr, "krn_headless_page: cannot read the template %s\n", argv[2]);
    return 2;
  }
  for (int i = 5; i < argc; ++i) {
    if (!SetField(state, argv[i])) {
      std::fprintf(stderr, "krn_headless_page: %s sets no field of %s\n", argv[i], argv[2]);
      return 2;
    }
  }
  const std::string page = ProgramView(argv[4]);
  const std::string scene = ProgramView(argv[3]);
  std::remove(argv[4]);
  headless::QueueFileAnswer(page);
  PathBuffer scenePath(scene.c_str());
  ConvertSceneFile(nullptr, &state, scenePath);
  std::FILE* written = std::fopen(argv[4], "rb");
  if (written == nullptr) return 1;
  std::fclose(written);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: krn_headless_page PROGRAM TEMPLATE SCENE PAGE [NAME=VALUE]...\n");
    return 2;
  }
  headless::ResetDesktop();
  if (!ToolkitStart(nullptr, true)) return 1;
  const int status = Convert(argc, argv);
  buttonBlock.Reset();
  ToolkitStop();
  return status;
}
