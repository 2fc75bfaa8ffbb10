// The conversion driver: one scene file, picked in the open dialog or dropped
// on the main window, becomes one HTML page from the current template.
#pragma once

#include "base/path_buffer.h"
#include "settings/converter_state.h"

class ConversionRun;
class ToolkitArray;
struct DropInfo;

// Title and filter of the open dialog for the scene file.
extern const char kOpenSceneTitle[];
extern const char kOpenSceneFilter[];

// Converts the scene at scenePath with the conversion core: its folder becomes
// the current directory, the button block is refilled from the scene and the page
// is written (save dialog included); a failure is shown in the program's message
// box. scenePath is left naming the scene's folder.
void ConvertSceneFile(void* window, ConverterState* state, PathBuffer& scenePath);

// Asks for a scene file and converts it with the values typed in the field
// boxes; a cancel converts nothing. With a run, the scene is read on its worker
// and this returns at once; while the run is busy nothing is asked (Refuse).
void ConvertByButton(void* window, ConverterState* state, ToolkitArray* controls,
                     ConversionRun* run = nullptr);

// Converts every dropped file in turn, each with its own save dialog and the
// values typed in the field boxes; after a failure's message the next file
// follows. Without templates it only says where they are expected. With a run,
// as for ConvertByButton.
void ConvertDroppedFiles(void* window, ConverterState* state, ToolkitArray* controls,
                         const DropInfo* drop, ConversionRun* run = nullptr);
