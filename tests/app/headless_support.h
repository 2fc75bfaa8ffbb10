// A started toolkit on a fresh headless desktop for one test, with access to
// what the desktop recorded; at the end it checks that the toolkit allocator
// holds no bytes.
#pragma once

#include <string>

namespace apptest {

class HeadlessToolkit {
 public:
  HeadlessToolkit();
  ~HeadlessToolkit();
  HeadlessToolkit(const HeadlessToolkit&) = delete;
  HeadlessToolkit& operator=(const HeadlessToolkit&) = delete;

  int MessageBoxCount() const;
  std::string MessageBoxTitle(int index) const;
  std::string MessageBoxText(int index) const;

 private:
  bool started_ = false;
};

// Writes a small ELF file whose version block carries productVersion (as in
// "1, 0, 3, 12") the way the program file carries its own.
void WriteVersionedFile(const std::string& nativePath, const std::string& productVersion);

}  // namespace apptest
