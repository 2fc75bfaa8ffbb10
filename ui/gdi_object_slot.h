// Selection bookkeeping shared by GdiPen, GdiBrush and GdiFont.
#pragma once

#include "platform/drawing.h"

// Selects handle into dc (when both exist) and records the context and the
// object it replaced; returns whether a handle exists.
bool SelectIntoContext(platform::DeviceContext dc, platform::DrawObject handle,
                       platform::DeviceContext* selectedInto, platform::DrawObject* previous);

// Selects previous back into dc (when it was recorded), then deletes handle.
void RestoreAndDelete(platform::DeviceContext dc, platform::DrawObject handle,
                      platform::DrawObject previous);
