#include "platform/fltk/key_map.h"

namespace fltk_backend {

namespace {

// FLTK's key numbers are X keysyms; the ones below are fixed by FL/Enumerations.H.
constexpr int kFlBackSpace = 0xff08, kFlTab = 0xff09, kFlEnter = 0xff0d, kFlPause = 0xff13,
              kFlScrollLock = 0xff14, kFlEscape = 0xff1b, kFlHome = 0xff50, kFlLeft = 0xff51,
              kFlUp = 0xff52, kFlRight = 0xff53, kFlDown = 0xff54, kFlPageUp = 0xff55,
              kFlPageDown = 0xff56, kFlEnd = 0xff57, kFlPrint = 0xff61, kFlInsert = 0xff63,
              kFlMenu = 0xff67, kFlNumLock = 0xff7f, kFlKp = 0xff80, kFlKpEnter = 0xff8d,
              kFlF = 0xffbd, kFlShiftL = 0xffe1, kFlShiftR = 0xffe2, kFlControlL = 0xffe3,
              kFlControlR = 0xffe4, kFlCapsLock = 0xffe5, kFlMetaL = 0xffe7, kFlMetaR = 0xffe8,
              kFlAltL = 0xffe9, kFlAltR = 0xffea, kFlDelete = 0xffff;

}  // namespace

int VirtualKeyForFltkKey(int key) {
  if (key >= 'a' && key <= 'z') return key - 'a' + 'A';
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9') || key == ' ') return key;
  if (key >= kFlKp + '0' && key <= kFlKp + '9') return 0x60 + (key - kFlKp - '0');
  if (key >= kFlF + 1 && key <= kFlF + 24) return 0x70 + (key - kFlF - 1);
  switch (key) {
    case kFlBackSpace:
      return 0x08;
    case kFlTab:
      return 0x09;
    case kFlEnter:
    case kFlKpEnter:
      return 0x0D;
    case kFlShiftL:
    case kFlShiftR:
      return 0x10;
    case kFlControlL:
    case kFlControlR:
      return 0x11;
    case kFlAltL:
    case kFlAltR:
      return 0x12;
    case kFlPause:
      return 0x13;
    case kFlCapsLock:
      return 0x14;
    case kFlEscape:
      return 0x1B;
    case kFlPageUp:
      return 0x21;
    case kFlPageDown:
      return 0x22;
    case kFlEnd:
      return 0x23;
    case kFlHome:
      return 0x24;
    case kFlLeft:
      return 0x25;
    case kFlUp:
      return 0x26;
    case kFlRight:
      return 0x27;
    case kFlDown:
      return 0x28;
    case kFlPrint:
      return 0x2C;
    case kFlInsert:
      return 0x2D;
    case kFlDelete:
      return 0x2E;
    case kFlMetaL:
      return 0x5B;
    case kFlMetaR:
      return 0x5C;
    case kFlMenu:
      return 0x5D;
    case kFlNumLock:
      return 0x90;
    case kFlScrollLock:
      return 0x91;
    case kFlKp + '*':
      return 0x6A;
    case kFlKp + '+':
      return 0x6B;
    case kFlKp + '-':
      return 0x6D;
    case kFlKp + '.':
      return 0x6E;
    case kFlKp + '/':
      return 0x6F;
    default:
      return 0;
  }
}

}  // namespace fltk_backend
