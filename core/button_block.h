// The animation-button lines of the scene being converted: the FORMSDATA value that
// CollectSceneButtons fills and AssemblePage writes into the page.
#pragma once

#include "base/string_buffer.h"

// The button lines of the last scene read on this thread; one block per thread, so that each
// worker of a command converting many scenes at once fills its own. Null only when memory
// runs out before the thread's first use.
StringBuffer* ButtonBlock();

// Empties this thread's block (nothing to do when it was never made).
void ClearButtonBlock();
