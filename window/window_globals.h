// The process-wide values of the window program. All of them are
// used on the one GUI thread only.
#pragma once

struct WindowState;

// Where the next build places its window: left, top, right, bottom.
struct SavedRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The main window of the current build (the toolkit's window handle), or null.
extern void* mainWindow;
// Set by the rebuild sequence; cleared before every build.
extern bool restartRequested;
// Whether the next build applies the saved preferences file.
extern bool loadSavedPrefs;
// Where the next build places its window; all zero at start (centre instead).
extern SavedRect savedWindowRect;
// Set once a failed save of the settings has been told, so that it is told once
// per run and not at every rebuild.
extern bool settingsFailureTold;
// Set once a settings file of another user has been told, so that it is told once per run.
extern bool foreignSettingsTold;
// The state of the current build, or null between builds.
extern WindowState* currentState;
