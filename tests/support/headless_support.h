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
// "1, 0, 3, 12") the way the program file carries its own. False, writing nothing, where
// program files are not ELF files (Windows keeps versions in a PE resource).
bool WriteVersionedFile(const std::string& nativePath, const std::string& productVersion);

}  // namespace apptest

#include <cstdint>
#include <functional>

namespace apptest {

// Runs the whole program on the headless desktop: actions are scheduled on the
// virtual clock relative to the start, and a guard closes whatever main window
// is left after a long time so that a broken test ends. The toolkit is held
// started around the run, so that the test can check afterwards that the
// toolkit allocator holds no bytes.
class ProgramRun {
 public:
  ProgramRun();
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // Runs action at `delay` virtual milliseconds after the start.
  void At(uint32_t delay, std::function<void()> action);
  // Runs the program with a command line; returns its exit status.
  int Run(const char* commandLine = "");
  // Whether the guard had to close the window.
  bool guardFired() const { return guardFired_; }
  // Closes the main window once its conversion has ended (the scene is read on a real thread:
  // the step is tried again a real moment later until then); for an action of At.
  static void CloseWhenConversionEnds();
  // Runs action once the main window's conversion has ended, as CloseWhenConversionEnds.
  static void WhenConversionEnds(std::function<void()> action);

 private:
  uint32_t start_;
  bool started_ = false;
  bool guardFired_ = false;
};

}  // namespace apptest
