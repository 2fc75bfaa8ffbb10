// The GUI half without a display, linked alone with the system half as the command links it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/drawing.h"
#include "platform/gui_controls.h"
#include "platform/gui_dialogs.h"
#include "platform/gui_events.h"
#include "platform/gui_input.h"
#include "platform/gui_system.h"
#include "platform/gui_window.h"

namespace {

// Standard error goes to a file while the object lives; Text() reads what was written.
class CapturedStandardError {
 public:
  CapturedStandardError() {
    std::fflush(stderr);
    saved_ = dup(2);
    file_ = std::tmpfile();
    dup2(fileno(file_), 2);
  }
  ~CapturedStandardError() {
    dup2(saved_, 2);
    close(saved_);
    std::fclose(file_);
  }
  std::string Text() const {
    std::string text;
    std::rewind(file_);
    char buffer[256];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file_)) > 0) text.append(buffer, read);
    return text;
  }

 private:
  int saved_ = -1;
  std::FILE* file_ = nullptr;
};

TEST(ConsoleBackend, MessageBoxesAreLinesOnStandardError) {
  struct Case {
    const char* title;
    const char* text;
    const char* written;
  } cases[] = {
      {"XML Error", "Line 3: mismatched tag", "XML Error: Line 3: mismatched tag\n"},
      {"Tessaly KRN 2 HTML", "Could not write the page /p/a.html: Permission denied",
       "Tessaly KRN 2 HTML: Could not write the page /p/a.html: Permission denied\n"},
      {"", "no title", "no title\n"},
      {nullptr, nullptr, "\n"},
  };
  for (const Case& c : cases) {
    CapturedStandardError captured;
    EXPECT_EQ(platform::ShowMessageBox(nullptr, c.text, c.title, platform::kMessageOk), 1)
        << "answered with OK: " << c.written;
    EXPECT_EQ(captured.Text(), c.written);
  }
}

TEST(ConsoleBackend, AMessageBoxThatCannotBeWrittenFails) {
  std::fflush(stderr);
  const int saved = dup(2);
  close(2);
  EXPECT_EQ(platform::ShowMessageBox(nullptr, "text", "title", platform::kMessageOk), 0);
  dup2(saved, 2);
  close(saved);
}

TEST(ConsoleBackend, NoWindowControlDialogOrSurfaceCanBeMade) {
  void* window = platform::CreateFrameWindow(nullptr, platform::kStyleCaption);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(platform::CreateChildControl(nullptr, platform::ControlClass::kButton, 0,
                                         platform::Rect{0, 0, 10, 10}, "OK"),
            nullptr);
  char path[platform::kFileDialogPathSize] = "scene.krn";
  platform::FileDialogRequest request{};
  request.path = path;
  EXPECT_FALSE(platform::RunFileDialog(&request)) << "a dialog is never shown: as a cancel";
  EXPECT_EQ(platform::GetScreenDrawContext(), nullptr);
  EXPECT_EQ(platform::CreateDrawFont(platform::FontSpec{}), nullptr);
  int fit = 7, width = 7, height = 7;
  EXPECT_FALSE(platform::MeasureDrawText(nullptr, "abc", 3, 100, &fit, &width, &height));
  EXPECT_EQ(fit + width + height, 0);
  char text[8] = "old";
  EXPECT_EQ(platform::GetControlText(nullptr, text, sizeof text), 0);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(platform::GetScreenWidth(), 0);
  EXPECT_FALSE(platform::HasPendingMessages());
}

TEST(ConsoleBackend, ClockAndWaitsAreReal) {
  platform::SystemFacts facts{};
  ASSERT_TRUE(platform::GetSystemFacts(&facts));
  EXPECT_GE(facts.processorCount, 1u);
  EXPECT_FALSE(platform::GetSystemFacts(nullptr));

  const uint32_t before = platform::GetMilliseconds();
  const auto start = std::chrono::steady_clock::now();
  platform::WaitForMessages(30);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(30)) << "a timed wait lasts its time";
  EXPECT_GE(uint32_t(platform::GetMilliseconds() - before), 30u);

  const auto again = std::chrono::steady_clock::now();
  platform::WaitForMessages(platform::kWaitForever);
  EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::seconds(1))
      << "nothing can arrive, so an endless wait returns";
}

}  // namespace
