// Windows virtual-key codes for FLTK's key numbers.
#pragma once

namespace fltk_backend {

// The virtual-key code (VK_*) of an FLTK key number (Fl::event_key()):
// letters give 'A'-'Z' whatever their case, digits '0'-'9', the keypad's
// digits VK_NUMPAD0-9, function keys VK_F1-F24, and the named keys their
// VK_ values; 0 for keys without one.
int VirtualKeyForFltkKey(int key);

}  // namespace fltk_backend
