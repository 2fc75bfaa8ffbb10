#include "window/program_entry.h"

#include <new>

#include "core/conversion_failure.h"
#include "core/text_of.h"
#include "platform/gui_window.h"
#include "settings/prefs.h"
#include "settings/templates.h"
#include "ui/message_loop.h"
#include "ui/toolkit_array.h"
#include "ui/toolkit_runtime.h"
#include "ui/toolkit_window.h"
#include "ui/window_registry.h"
#include "window/failure_box.h"
#include "window/main_window.h"
#include "window/window_globals.h"
#include "window/window_state.h"

int RunProgram(void* instance, const char* commandLine) {
  if (ToolkitStart(instance, true)) {
    if (commandLine == nullptr || commandLine[0] == '\0') {
      do {
        restartRequested = false;
        RunMainWindow();
      } while (restartRequested);
    }
  }
  ToolkitStop();
  return 0;
}

void RunMainWindow() {
  ToolkitArray controls;
  controls.Init(sizeof(void*), 0, 0, 0, true);
  if (AcquireWindowRegistry()) {
    WindowState* state = new (std::nothrow) WindowState;
    currentState = state;
    if (state != nullptr) {
      ScanTemplates(state);
      ChooseFirstTemplate(state);
      void* window = CreateToolkitWindow(nullptr, 0, 0, 400, 100, 4);
      if (window != nullptr) {
        mainWindow = window;
        const SavedRect& r = savedWindowRect;
        if (r.left < r.right && r.top < r.bottom) {
          const ToolkitRect rect{r.left, r.top, r.right, r.bottom};
          SetWindowRect(window, &rect);
        } else {
          CenterWindow(window, nullptr);
        }
        platform::SetNativeWindowTitle(window, kMainWindowTitle);
        platform::AcceptDroppedFiles(window, true);

        // A settings file of another user is not read (it could plant text in every page).
        ConversionFailure foreign;
        StringBuffer remembered;
        LoadDefaultTemplate(state, &foreign, &remembered);
        state->rememberedMissing =
            remembered.Length() != 0 && !remembered.Equals(TextOf(state->templateName));
        ScanTemplateFields(state);
        if (loadSavedPrefs) LoadPrefs(state, &foreign);
        loadSavedPrefs = true;
        for (int i = 0; i < state->fieldValues.count; ++i) {
          state->shownValues.Append(TextOf(state->fieldValues.items[i]));
        }

        LayoutMainWindow(window, state, &controls);
        // No timer: the window ignores timer events, and a periodic wake-up
        // would keep an idle program (and a laptop's processor) awake.
        if (!AttachWindow(window, nullptr, OnMainWindowEvent, &controls, kNoTimer, false)) {
          // A window that cannot be registered would never be closed: end it here.
          DestroyControls(&controls);
          DestroyToolkitWindow(window);
        }
        if (foreign.Failed() && !foreignSettingsTold && FindWindowRecord(window) != nullptr) {
          foreignSettingsTold = true;
          ShowFailure(window, foreign);
        }
      }
      RunMessageLoop();
    }
    delete state;
    currentState = nullptr;
    mainWindow = nullptr;
    ReleaseWindowRegistry();
  }
  DestroyControls(&controls);
  controls.Release();
}
