#include "app/app_globals.h"

void* mainWindow = nullptr;
bool restartRequested = false;
bool loadSavedPrefs = true;
SavedRect savedWindowRect;
StringBuffer buttonBlock;
ConverterState* currentState = nullptr;
bool settingsFailureTold = false;
