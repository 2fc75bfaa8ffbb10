#include "window/window_globals.h"

void* mainWindow = nullptr;
bool restartRequested = false;
bool loadSavedPrefs = true;
SavedRect savedWindowRect;
WindowState* currentState = nullptr;
bool settingsFailureTold = false;
bool foreignSettingsTold = false;
