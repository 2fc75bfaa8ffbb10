// The animation-button lines of the scene being converted: the FORMSDATA value that
// CollectSceneButtons fills and AssemblePage writes into the page.
#pragma once

#include "base/string_buffer.h"

// The button lines of the last scene read; one block per process, used by one conversion at a
// time.
extern StringBuffer buttonBlock;
