// The main window's conversion beside the windows: the scene's read and the page's write are
// held back block by block (the run's gates) while the test plays the window thread, pumping the
// posted events.
#include "window/conversion_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app_test_support.h"
#include "core/button_block.h"
#include "headless_support.h"
#include "platform/gui_events.h"
#include "platform/gui_window.h"
#include "platform/headless/headless_desktop.h"
#include "settings/templates.h"
#include "ui/toolkit_array.h"
#include "ui/toolkit_window.h"
#include "ui/window_registry.h"
#include "window/conversion.h"
#include "window/main_window.h"
#include "window/window_globals.h"
#include "window/window_state.h"

namespace {

using apptest::ProgramView;
using apptest::ReadText;
using apptest::WriteText;

// Lets the worker past one block per Allow; with a pause instead, every block waits that long.
struct BlockGate {
  std::mutex lock;
  std::condition_variable changed;
  int allowed = 0;
  int passed = 0;
  int arrived = 0;  // blocks the worker came to, let past or not
  int pauseMs = 0;
  void Allow(int blocks) {
    std::lock_guard<std::mutex> hold(lock);
    allowed += blocks;
    changed.notify_all();
  }
  int Passed() {
    std::lock_guard<std::mutex> hold(lock);
    return passed;
  }
  int Arrived() {
    std::lock_guard<std::mutex> hold(lock);
    return arrived;
  }
  void Reset() {
    std::lock_guard<std::mutex> hold(lock);
    allowed = passed = arrived = 0;
  }
  static bool Pass(void* context, uint64_t /*bytes*/) {
    BlockGate* gate = static_cast<BlockGate*>(context);
    if (gate->pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(gate->pauseMs));
    std::unique_lock<std::mutex> hold(gate->lock);
    ++gate->arrived;
    gate->changed.wait(hold, [gate] { return gate->pauseMs > 0 || gate->passed < gate->allowed; });
    ++gate->passed;
    return true;
  }
};

const char kTemplate[] = "((KWB))T::t((KWB))|((KWB))FILENAME((KWB))|((KWB))FORMSDATA((KWB))";
const char kGoLine[] =
    "<input\tname=\"Go\"\ttype=button\tvalue=\"Go\"\tonclick=\"triggeranimation('Go')\">\r\n";
constexpr uint64_t kBlock = 1u << 20;
// Animations in many.krn: a page of three write blocks.
constexpr int kManyAnimations = 30000;

// The button line of the animation `name`.
std::string ButtonLine(const std::string& name) {
  return "<input\tname=\"" + name + "\"\ttype=button\tvalue=\"" + name +
         "\"\tonclick=\"triggeranimation('" + name + "')\">\r\n";
}

// The ways a user cancels the conversion of the current file.
struct CancelWay {
  const char* what;
  void (*cancel)(void* window);
};
const CancelWay kCancelWays[] = {
    {"Escape", [](void* window) { headless::PressKey(window, kCancelKey); }},
    {"the Cancel button",
     [](void* window) { headless::ClickControl(headless::FindControl(window, kCancelButtonId)); }},
};

class ConversionRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.AddTemplate("page.html", kTemplate);
    std::string text = "<S>\n<KRSTimeElem Name=\"Go\" On=\"0\"/>\n";
    while (text.size() < 5 * kBlock + 1000) text += "<g a=\"1\"/>\n";
    text += "</S>\n";
    WriteText(folder() / "big.krn", text);
    bigSize_ = text.size();
    WriteText(folder() / "small.krn", "<S><KRSTimeElem Name=\"Go\" On=\"0\"/></S>");

    ASSERT_TRUE(AcquireWindowRegistry());
    state_ = new WindowState;
    currentState = state_;
    ScanTemplates(state_);
    ChooseFirstTemplate(state_);
    ScanTemplateFields(state_);
    controls_.Init(sizeof(void*), 0, 0, 0, true);
    window_ = CreateToolkitWindow(nullptr, 0, 0, 400, 100, 4);
    ASSERT_NE(window_, nullptr);
    mainWindow = window_;
    platform::AcceptDroppedFiles(window_, true);
    LayoutMainWindow(window_, state_, &controls_);
    ASSERT_TRUE(AttachWindow(window_, nullptr, OnMainWindowEvent, &controls_, kNoTimer, false));
    state_->conversion.SetReadGate(&BlockGate::Pass, &gate_);
  }
  void TearDown() override {
    writeGate_.Allow(1000);
    if (FindWindowRecord(window_) != nullptr) {
      gate_.Allow(1000);
      DetachWindow(window_);
    }
    delete state_;
    currentState = nullptr;
    mainWindow = nullptr;
    ReleaseWindowRegistry();
    DestroyControls(&controls_);
    controls_.Release();
    ClearButtonBlock();
  }

  std::filesystem::path folder() const { return program_.path() / "scenes"; }
  std::string Scene(const char* name) const { return ProgramView(folder() / name); }
  ConversionRun& run() { return state_->conversion; }

  // Plays the window thread until done() holds: waits for what the worker posts, then pumps.
  void PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the awaited state never came";
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      platform::PumpThreadMessages();
    }
  }
  void Drop(const std::vector<std::string>& names) {
    ASSERT_TRUE(headless::DropFiles(window_, 100, 30, names));
    platform::PumpThreadMessages();
  }
  // The files in the scenes folder, by name.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  apptest::HeadlessToolkit toolkit_;
  apptest::ProgramFolder program_;
  WindowState* state_ = nullptr;
  ToolkitArray controls_;
  void* window_ = nullptr;
  uint64_t bigSize_ = 0;
  BlockGate gate_;
  BlockGate writeGate_;
};

TEST_F(ConversionRunTest, ProgressIsShownAfterHalfASecondInOrderWhileTheWindowAnswers) {
  headless::QueueFileAnswer(Scene("big.html"));
  Drop({Scene("big.krn")});
  ASSERT_TRUE(run().Busy()) << "the drop returned to the loop with the read under way";
  const int clientHeight = headless::ClientRect(window_).bottom - headless::ClientRect(window_).top;

  gate_.Allow(1);
  PumpUntil([&] { return run().Bar().Permille() > 0; });
  EXPECT_EQ(run().Bar().Permille(), kBlock * 1000 / bigSize_);
  EXPECT_FALSE(run().ProgressShown()) << "a read shorter than half a second shows nothing";
  EXPECT_EQ(headless::FindControl(window_, kCancelButtonId), nullptr);

  headless::AdvanceClock(kProgressDelay);
  std::vector<uint32_t> seen{run().Bar().Permille()};
  // The read is held after each block up to the fifth, the last whole one.
  for (int block = 2; block <= 4; ++block) {
    gate_.Allow(1);
    PumpUntil([&] { return run().Bar().Permille() != seen.back(); });
    seen.push_back(run().Bar().Permille());
    EXPECT_EQ(seen.back(), block * kBlock * 1000 / bigSize_) << "block " << block;
  }
  ASSERT_TRUE(run().ProgressShown());
  EXPECT_STREQ(run().Bar().Caption(),
               ("Reading big.krn: " + std::to_string(seen.back() / 10) + "%").c_str());
  EXPECT_EQ(headless::ClientRect(window_).bottom - headless::ClientRect(window_).top,
            clientHeight + kProgressStripHeight)
      << "the window grew by the progress strip";
  void* cancel = headless::FindControl(window_, kCancelButtonId);
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(headless::WindowText(cancel), "Cancel");

  // The window thread is free: it repaints and moves the window while the read is held.
  ASSERT_TRUE(InvalidateAll(window_));
  platform::PumpThreadMessages();
  EXPECT_FALSE(headless::HasUpdateRegion(window_)) << "the paint was answered";
  ASSERT_TRUE(MoveWindowTo(window_, 40, 30));
  platform::PumpThreadMessages();
  EXPECT_EQ(headless::OuterRect(window_).left, 40);
  EXPECT_TRUE(run().Busy());

  gate_.Allow(1000);
  PumpUntil([&] { return !run().Busy(); });
  EXPECT_EQ(ReadText(folder() / "big.html"), std::string("t|big.krn|") + kGoLine);
  EXPECT_FALSE(run().ProgressShown()) << "the progress goes with the conversion";
  EXPECT_EQ(headless::FindControl(window_, kCancelButtonId), nullptr);
  EXPECT_EQ(headless::ClientRect(window_).bottom - headless::ClientRect(window_).top, clientHeight);
  EXPECT_EQ(toolkit_.MessageBoxCount(), 0);
}

TEST_F(ConversionRunTest, ASecondConversionIsRefusedWhileOneRuns) {
  headless::QueueFileAnswer(Scene("big.html"));
  Drop({Scene("big.krn")});
  ASSERT_TRUE(run().Busy());
  // Typing goes on as usual and is no second conversion.
  ASSERT_TRUE(headless::TypeText(headless::FindControl(window_, kFirstEditId), "typed"));
  platform::PumpThreadMessages();
  EXPECT_FALSE(run().ProgressShown()) << "typing is no second conversion";
  // The Convert button, Reset Defaults and a second drop start nothing: no open dialog, no
  // second read, no rebuild.
  ASSERT_TRUE(headless::ClickControl(headless::FindControl(window_, kConvertButtonId)));
  platform::PumpThreadMessages();
  ASSERT_TRUE(headless::ClickControl(headless::FindControl(window_, kResetButtonId)));
  platform::PumpThreadMessages();
  EXPECT_FALSE(restartRequested) << "Reset Defaults did not rebuild the window";
  Drop({Scene("small.krn")});
  EXPECT_TRUE(headless::FileDialogs().empty());
  ASSERT_TRUE(run().ProgressShown()) << "the refusal is told on the progress line at once";
  EXPECT_NE(std::string(run().Bar().Caption()).find("One conversion at a time"), std::string::npos)
      << run().Bar().Caption();
  gate_.Allow(1000);
  PumpUntil([&] { return !run().Busy(); });
  ASSERT_EQ(headless::FileDialogs().size(), 1u) << "only the first file was converted";
  EXPECT_EQ(headless::FileDialogs()[0].title, "Saving HTML File (HTML)");
  EXPECT_FALSE(std::filesystem::exists(folder() / "small.html"));
  EXPECT_TRUE(std::filesystem::exists(folder() / "big.html"));
  EXPECT_EQ(gate_.Passed(), 5) << "the scene was read once";
}

TEST_F(ConversionRunTest, CancelLeavesTheOldPageAndTheNextFileFollows) {
  const std::string oldPage = "old page\r\n\x01 kept byte for byte";
  for (const CancelWay& c : kCancelWays) {
    SCOPED_TRACE(c.what);
    WriteText(folder() / "big.html", oldPage);
    std::filesystem::remove(folder() / "small.html");
    const size_t boxesBefore = headless::MessageBoxes().size();
    const size_t dialogsBefore = headless::FileDialogs().size();
    headless::QueueFileAnswer(Scene("small.html"));  // the second file's page
    Drop({Scene("big.krn"), Scene("small.krn")});
    ASSERT_TRUE(run().Busy());
    headless::AdvanceClock(kProgressDelay);
    gate_.Allow(1);
    PumpUntil([&] { return run().ProgressShown(); });
    EXPECT_STREQ(run().Bar().Caption(),
                 ("Reading big.krn (file 1 of 2): " + std::to_string(kBlock * 100 / bigSize_) + "%")
                     .c_str());
    const int passedAtCancel = gate_.Passed();
    c.cancel(window_);
    platform::PumpThreadMessages();
    gate_.Allow(1000);
    PumpUntil([&] { return !run().Busy(); });
    EXPECT_LE(gate_.Passed(), passedAtCancel + 1) << "the read stopped at the next block";
    EXPECT_EQ(ReadText(folder() / "big.html"), oldPage);
    ASSERT_EQ(headless::MessageBoxes().size(), boxesBefore + 1);
    EXPECT_EQ(headless::MessageBoxes().back().text,
              "The conversion of " + (folder() / "big.krn").string() + " was cancelled");
    ASSERT_EQ(headless::FileDialogs().size(), dialogsBefore + 1)
        << "no save dialog for the cancelled file";
    EXPECT_EQ(ReadText(folder() / "small.html"), std::string("t|small.krn|") + kGoLine)
        << "the rest of the drop is still converted";
    EXPECT_EQ(Files(), (std::vector<std::string>{"big.html", "big.krn", "small.html", "small.krn"}))
        << "no temporary file is left";
    gate_.passed = gate_.allowed = 0;
  }
}

TEST_F(ConversionRunTest, ClosingTheWindowStopsTheReadAndWritesNothing) {
  gate_.pauseMs = 20;  // a slow read that needs no letting on
  headless::QueueFileAnswer(Scene("big.html"));
  Drop({Scene("big.krn")});
  PumpUntil([&] { return run().Bar().Permille() > 0; });
  ASSERT_TRUE(headless::RequestClose(window_));
  platform::PumpThreadMessages();
  EXPECT_EQ(FindWindowRecord(window_), nullptr) << "the window is gone";
  EXPECT_FALSE(run().Busy());
  EXPECT_LT(gate_.Passed(), 5) << "the read stopped before its end";
  EXPECT_TRUE(headless::FileDialogs().empty());
  EXPECT_EQ(toolkit_.MessageBoxCount(), 0) << "closing tells nothing";
  EXPECT_EQ(Files(), (std::vector<std::string>{"big.krn", "small.krn"}));
}

// The write of a page held back: the read runs free, the write gate holds the worker before the
// temporary file (its first call) and then after each block.
class ConversionRunWriteTest : public ConversionRunTest {
 protected:
  void SetUp() override {
    ConversionRunTest::SetUp();
    std::string many = "<S>\n";
    manyPage_ = "t|many.krn|";
    for (int i = 0; i < kManyAnimations; ++i) {
      const std::string name = "A" + std::to_string(i);
      many += "<KRSTimeElem Name=\"" + name + "\" On=\"0\"/>\n";
      // Every fourth button starts a new row.
      if ((i + 1) % 4 == 0) manyPage_ += "\r\n";
      manyPage_ += ButtonLine(name);
    }
    many += "</S>\n";
    WriteText(folder() / "many.krn", many);
    gate_.Allow(1000);
    run().SetWriteGate(&BlockGate::Pass, &writeGate_);
  }
  // Lets the write of many.krn's page on until it is held after its first block (the temporary
  // file made, a block in it), the progress strip shown.
  void HoldAfterFirstBlock() {
    PumpUntil([&] { return writeGate_.Arrived() == 1; });
    headless::AdvanceClock(kProgressDelay);
    writeGate_.Allow(2);
    PumpUntil([&] {
      return writeGate_.Arrived() == 3 &&
             run().Bar().Permille() == kBlock * 1000 / manyPage_.size();
    });
  }
  std::string manyPage_;  // the page of many.krn

  // The caption while held after the first block; `files` is "" or " (file i of n)".
  std::string HeldCaption(const std::string& files) const {
    return "Writing many.html" + files + ": " + std::to_string(kBlock * 100 / manyPage_.size()) +
           "%";
  }
};

TEST_F(ConversionRunWriteTest, AHeldWriteLeavesTheWindowFreeAndGivesTheSamePage) {
  // The page as the conversion on the window thread writes it.
  headless::QueueFileAnswer(Scene("before.html"));
  PathBuffer scene(Scene("many.krn").c_str());
  ConvertSceneFile(window_, state_, scene);
  ASSERT_TRUE(ReadText(folder() / "before.html") == manyPage_)
      << "the page is not the expected one";
  ASSERT_GT(manyPage_.size(), 2 * kBlock) << "a page of three blocks";
  const std::vector<std::string> before = Files();

  headless::QueueFileAnswer(Scene("many.html"));
  Drop({Scene("many.krn")});
  PumpUntil([&] { return writeGate_.Arrived() == 1; });
  EXPECT_TRUE(run().Busy()) << "the page is being made beside the window";
  EXPECT_STREQ(run().Bar().Caption(), "Writing many.html: 0%");
  EXPECT_EQ(Files(), before) << "no temporary file before the first block";
  HoldAfterFirstBlock();
  ASSERT_TRUE(run().ProgressShown()) << "a write held past half a second shows its progress";
  EXPECT_STREQ(run().Bar().Caption(), HeldCaption("").c_str());
  // A temporary file beside the page, or none where the new file has no name until it is
  // whole (Linux).
  EXPECT_LE(Files().size(), before.size() + 1) << "at most the temporary file beside the page";
  EXPECT_FALSE(std::filesystem::exists(folder() / "many.html")) << "the page comes whole";

  // The window thread is free: it repaints and moves the window while the write is held.
  ASSERT_TRUE(InvalidateAll(window_));
  platform::PumpThreadMessages();
  EXPECT_FALSE(headless::HasUpdateRegion(window_)) << "the paint was answered";
  ASSERT_TRUE(MoveWindowTo(window_, 60, 20));
  platform::PumpThreadMessages();
  EXPECT_EQ(headless::OuterRect(window_).left, 60);
  EXPECT_TRUE(run().Busy());

  writeGate_.Allow(1000);
  PumpUntil([&] { return !run().Busy(); });
  EXPECT_EQ(writeGate_.Passed(), 4) << "before the file, then after each of three blocks";
  EXPECT_TRUE(ReadText(folder() / "many.html") == manyPage_) << "the page is not the expected one";
  EXPECT_TRUE(ReadText(folder() / "many.html") == ReadText(folder() / "before.html"))
      << "the page differs from the one written on the window thread";
  std::vector<std::string> after = before;
  after.push_back("many.html");
  std::sort(after.begin(), after.end());
  EXPECT_EQ(Files(), after) << "no temporary file is left";
  EXPECT_FALSE(run().ProgressShown());
  EXPECT_EQ(toolkit_.MessageBoxCount(), 0);
}

TEST_F(ConversionRunWriteTest, CancelDuringTheWriteKeepsTheOldPageAndTheNextFileFollows) {
  const std::string oldPage = "old page\r\n\x01 kept byte for byte";
  for (const CancelWay& c : kCancelWays) {
    SCOPED_TRACE(c.what);
    WriteText(folder() / "many.html", oldPage);
    std::filesystem::remove(folder() / "small.html");
    const std::vector<std::string> before = Files();
    const size_t boxesBefore = headless::MessageBoxes().size();
    headless::QueueFileAnswer(Scene("many.html"));
    headless::QueueFileAnswer(Scene("small.html"));
    Drop({Scene("many.krn"), Scene("small.krn")});
    HoldAfterFirstBlock();
    ASSERT_TRUE(run().ProgressShown());
    EXPECT_STREQ(run().Bar().Caption(), HeldCaption(" (file 1 of 2)").c_str());
    EXPECT_EQ(Files().size(), before.size() + (KRN_TEST_UNNAMED_FILES ? 0 : 1))
        << "the temporary file beside the page, unless it has no name yet";
    c.cancel(window_);
    platform::PumpThreadMessages();
    writeGate_.Allow(1000);
    PumpUntil([&] { return !run().Busy(); });
    // Three calls for the cancelled page (the last one stopped it), two for the small one.
    EXPECT_EQ(writeGate_.Passed(), 3 + 2) << "the write stopped at the next block";
    EXPECT_EQ(ReadText(folder() / "many.html"), oldPage);
    ASSERT_EQ(headless::MessageBoxes().size(), boxesBefore + 1);
    EXPECT_EQ(headless::MessageBoxes().back().text,
              "The conversion of " + (folder() / "many.krn").string() + " was cancelled");
    EXPECT_EQ(ReadText(folder() / "small.html"), std::string("t|small.krn|") + kGoLine)
        << "the rest of the drop is still converted";
    std::vector<std::string> after = before;
    after.push_back("small.html");
    std::sort(after.begin(), after.end());
    EXPECT_EQ(Files(), after) << "no temporary file is left";
    writeGate_.Reset();
  }
}

TEST_F(ConversionRunWriteTest, ClosingTheWindowDuringTheWriteKeepsTheOldPage) {
  writeGate_.pauseMs = 100;  // a slow write that needs no letting on
  const std::string oldPage = "the old page";
  WriteText(folder() / "many.html", oldPage);
  const std::vector<std::string> before = Files();
  headless::QueueFileAnswer(Scene("many.html"));
  Drop({Scene("many.krn")});
  PumpUntil([&] { return writeGate_.Passed() >= 2; });
  ASSERT_TRUE(headless::RequestClose(window_));
  platform::PumpThreadMessages();
  EXPECT_EQ(FindWindowRecord(window_), nullptr) << "the window is gone";
  EXPECT_FALSE(run().Busy());
  EXPECT_LT(writeGate_.Passed(), 4) << "the write stopped before its end";
  EXPECT_EQ(ReadText(folder() / "many.html"), oldPage);
  EXPECT_EQ(Files(), before) << "no temporary file is left";
  EXPECT_EQ(toolkit_.MessageBoxCount(), 0) << "closing tells nothing";
}

TEST_F(ConversionRunWriteTest, ASecondConversionIsRefusedWhileThePageIsWritten) {
  headless::QueueFileAnswer(Scene("many.html"));
  Drop({Scene("many.krn")});
  PumpUntil([&] { return writeGate_.Arrived() == 1; });
  ASSERT_TRUE(headless::ClickControl(headless::FindControl(window_, kConvertButtonId)));
  platform::PumpThreadMessages();
  Drop({Scene("small.krn")});
  ASSERT_TRUE(headless::ClickControl(headless::FindControl(window_, kResetButtonId)));
  platform::PumpThreadMessages();
  EXPECT_FALSE(restartRequested) << "Reset Defaults did not rebuild the window";
  ASSERT_EQ(headless::FileDialogs().size(), 1u) << "no open or save dialog for the second";
  ASSERT_TRUE(run().ProgressShown()) << "the refusal is told on the progress line at once";
  EXPECT_STREQ(run().Bar().Caption(), "One conversion at a time. Writing many.html: 0%");
  writeGate_.Allow(1000);
  PumpUntil([&] { return !run().Busy(); });
  EXPECT_EQ(headless::FileDialogs().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(folder() / "small.html"));
  EXPECT_TRUE(ReadText(folder() / "many.html") == manyPage_);
  EXPECT_EQ(toolkit_.MessageBoxCount(), 0);
}

}  // namespace
