#include "ui/gdi_object_slot.h"

bool SelectIntoContext(platform::DeviceContext dc, platform::DrawObject handle,
                       platform::DeviceContext* selectedInto, platform::DrawObject* previous) {
  *selectedInto = nullptr;
  *previous = nullptr;
  if (!handle) return false;
  if (dc) {
    *previous = platform::SelectDrawObject(dc, handle);
    // A failed selection leaves nothing to restore.
    if (*previous) *selectedInto = dc;
  }
  return true;
}

void RestoreAndDelete(platform::DeviceContext dc, platform::DrawObject handle,
                      platform::DrawObject previous) {
  if (dc && previous) platform::SelectDrawObject(dc, previous);
  // Stock objects are never deleted; DeleteObject ignores them anyway.
  if (handle) platform::DeleteDrawObject(handle);
}
