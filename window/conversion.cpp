#include "window/conversion.h"

#include <utility>
#include <vector>

#include "core/page_conversion.h"
#include "core/text_of.h"
#include "platform/file_system.h"
#include "settings/settings_location.h"
#include "settings/templates.h"
#include "ui/file_dialog.h"
#include "ui/message_loop.h"
#include "ui/toolkit_event.h"
#include "window/conversion_run.h"
#include "window/failure_box.h"
#include "window/main_window.h"
#include "window/page_writer.h"

const char kOpenSceneTitle[] = "Select KRN/KRQ File";
// Description and pattern pairs, each ending in a zero byte, the list in two.
const char kOpenSceneFilter[] =
    "KRN/KRQ File (*.krn; *.krq)\0 *.krn; *.krq;\0All Files (*.*)\0 *.*\0";

void ConvertSceneFile(void* window, ConverterState* state, PathBuffer& scenePath) {
  if (state == nullptr) return;
  const PathBuffer scene(scenePath);
  if (scenePath.SetFileName("")) SysSetCurrentDirectory(scenePath.path);

  PathBuffer templatePath;
  if (!SetTemplatePath(templatePath, TextOf(state->templateName))) templatePath.Clear();

  ConversionRequest request;
  request.scenePath = scene.path;
  // A large scene takes seconds to read: the windows keep their pictures meanwhile.
  request.whileReading = [](void*, uint64_t) {
    KeepPaintingWhileBusy();
    return true;
  };
  ConversionFailure failure;
  if (!CollectSceneButtons(request, failure)) {
    ShowFailure(window, failure);
    return;
  }
  WritePage(templatePath.path, scene.path, state);
}

namespace {

// Without any template there is nothing to convert with: says where templates are
// expected and returns false.
bool HasTemplates(void* window, const ConverterState* state) {
  if (state->templates.count > 0) return true;
  ConversionFailure failure;
  SetNoTemplatesFailure(failure);
  ShowFailure(window, failure);
  return false;
}

}  // namespace

void ConvertByButton(void* window, ConverterState* state, ToolkitArray* controls,
                     ConversionRun* run) {
  if (run != nullptr && run->Busy()) {
    run->Refuse();
    return;
  }
  if (state == nullptr || !HasTemplates(window, state)) return;
  PathBuffer scene;
  StringBuffer tooLong;
  if (!ChooseFile(window, kOpenSceneTitle, kOpenSceneFilter, &scene, 0, true, &tooLong)) {
    TellTooLong(window, tooLong);
    return;
  }
  if (run != nullptr) {
    std::vector<SceneToConvert> scenes(1);
    scenes[0].path = scene.path;
    run->Start(window, state, controls, std::move(scenes));
    return;
  }
  ReadFieldEdits(window, state, controls);
  ConvertSceneFile(window, state, scene);
}

void ConvertDroppedFiles(void* window, ConverterState* state, ToolkitArray* controls,
                         const DropInfo* drop, ConversionRun* run) {
  if (run != nullptr && run->Busy()) {
    run->Refuse();
    return;
  }
  if (state == nullptr || drop == nullptr || !HasTemplates(window, state)) return;
  if (run != nullptr) {
    std::vector<SceneToConvert> scenes(drop->count);
    for (uint32_t i = 0; i < drop->count; ++i) {
      scenes[i].path = drop->files[i].path;
      const char* name = drop->names != nullptr ? drop->names[i] : nullptr;
      if (name != nullptr) scenes[i].tooLong = name;
    }
    run->Start(window, state, controls, std::move(scenes));
    return;
  }
  for (uint32_t i = 0; i < drop->count; ++i) {
    // A name too long for the program's paths is told, and the next file follows.
    const char* name = drop->names != nullptr ? drop->names[i] : nullptr;
    if (drop->files[i].path[0] == '\0' && name != nullptr && name[0] != '\0') {
      StringBuffer tooLong;
      if (tooLong.SetText(name, -1, 0)) TellTooLong(window, tooLong);
      continue;
    }
    PathBuffer scene(drop->files[i]);
    ReadFieldEdits(window, state, controls);
    ConvertSceneFile(window, state, scene);
  }
}
