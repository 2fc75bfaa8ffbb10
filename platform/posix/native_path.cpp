// Linux: the program's Z:\ drive is the root of the native file system.
#include "platform/native_path.h"

#include <cstring>

namespace {

// Copies text into out with every from turned into to, after prefix; false when it does not fit.
bool Translate(const char* prefix, const char* text, char from, char to, char* out, uint32_t size) {
  const size_t prefixLength = std::strlen(prefix);
  const size_t length = std::strlen(text);
  if (prefixLength + length + 1 > size) {
    out[0] = '\0';
    return false;
  }
  std::memcpy(out, prefix, prefixLength);
  for (size_t i = 0; i < length; ++i) out[prefixLength + i] = text[i] == from ? to : text[i];
  out[prefixLength + length] = '\0';
  return true;
}

}  // namespace

bool NativePathFromProgram(const char* programPath, char* out, uint32_t size) {
  if (out == nullptr || size == 0) return false;
  if (programPath == nullptr) {
    out[0] = '\0';
    return false;
  }
  const char* rest = programPath;
  if ((rest[0] == 'Z' || rest[0] == 'z') && rest[1] == ':') rest += 2;
  return Translate("", rest, '\\', '/', out, size);
}

bool ProgramPathFromNative(const char* nativePath, char* out, uint32_t size) {
  if (out == nullptr || size == 0) return false;
  if (nativePath == nullptr) {
    out[0] = '\0';
    return false;
  }
  return Translate(nativePath[0] == '/' ? "Z:" : "", nativePath, '/', '\\', out, size);
}
