// The scene read on a worker thread: progress posted in order, one read at a time, Cancel
// stopping at the next block, the window thread free meanwhile. The test holds the worker
// at each block (its gate) and lets it on explicitly.
#include "window/scene_read_worker.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "app_test_support.h"
#include "core/button_block.h"
#include "headless_support.h"
#include "platform/gui_events.h"
#include "platform/gui_window.h"
#include "platform/headless/headless_desktop.h"
#include "ui/toolkit_event.h"

namespace {

using apptest::ProgramView;
using apptest::WriteText;

// Lets the worker past one block per Allow.
struct BlockGate {
  std::mutex lock;
  std::condition_variable changed;
  int allowed = 0;
  int passed = 0;
  void Allow(int blocks) {
    std::lock_guard<std::mutex> hold(lock);
    allowed += blocks;
    changed.notify_all();
  }
  static bool Pass(void* context, uint64_t /*bytesRead*/) {
    BlockGate* gate = static_cast<BlockGate*>(context);
    std::unique_lock<std::mutex> hold(gate->lock);
    gate->changed.wait(hold, [gate] { return gate->passed < gate->allowed; });
    ++gate->passed;
    return true;
  }
};

std::vector<platform::PlatformEvent> seen;
intptr_t Record(platform::PlatformEvent* event) {
  seen.push_back(*event);
  return 0;
}

class SceneReadWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string text = "<S>\n";
    while (text.size() < 4u * 1024 * 1024 + 1000) {
      text += "<KRSTimeElem Name=\"Go\" On=\"0\"/>\n";
    }
    text += "</S>\n";
    WriteText(program_.path() / "big.krn", text);
    scene_ = ProgramView(program_.path() / "big.krn");
    seen.clear();
    platform::SetEventHandler(&Record);
    window_ = platform::CreateFrameWindow(nullptr, 0x86CB0000);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    platform::DestroyNativeWindow(window_);
    platform::SetEventHandler(&ToolkitWindowProc);
    ButtonBlock()->Reset();
  }

  // Waits (the window thread's way: block, then pump) until a posted event with `value`
  // arrives; the other events are delivered on the way.
  void WaitForPosted(uintptr_t value) {
    for (;;) {
      for (const platform::PlatformEvent& event : seen) {
        if (event.code == platform::kEventPosted && event.rawWParam == value) return;
      }
      platform::WaitForMessages(platform::kWaitForever);
      platform::PumpThreadMessages();
    }
  }
  std::vector<uintptr_t> Posted() const {
    std::vector<uintptr_t> values;
    for (const platform::PlatformEvent& event : seen) {
      if (event.code == platform::kEventPosted) values.push_back(event.rawWParam);
    }
    return values;
  }

  apptest::HeadlessToolkit toolkit_;
  apptest::ProgramFolder program_;
  std::string scene_;
  void* window_ = nullptr;
  BlockGate gate_;
  SceneReadWorker worker_;
};

TEST_F(SceneReadWorkerTest, ProgressArrivesInOrderAndTheButtonsComeAtTheEnd) {
  ASSERT_TRUE(worker_.Start(window_, scene_.c_str(), &BlockGate::Pass, &gate_));
  EXPECT_GT(worker_.FileSize(), 4u << 20);
  for (uint64_t block = 1; block <= 4; ++block) {
    gate_.Allow(1);
    seen.clear();
    WaitForPosted(kPostedReadProgress);
    EXPECT_EQ(worker_.BytesRead(), block << 20) << "block " << block;
    worker_.ProgressSeen();
  }
  WaitForPosted(kPostedReadDone);
  ConversionFailure failure;
  ASSERT_TRUE(worker_.Finish(failure));
  EXPECT_FALSE(failure.Failed());
  EXPECT_GT(ButtonBlock()->Length(), 0u);
  EXPECT_FALSE(worker_.Busy());
}

TEST_F(SceneReadWorkerTest, OneReadAtATimeAndCancelStopsAtTheNextBlock) {
  ASSERT_TRUE(worker_.Start(window_, scene_.c_str(), &BlockGate::Pass, &gate_));
  EXPECT_TRUE(worker_.Busy());
  EXPECT_FALSE(worker_.Start(window_, scene_.c_str())) << "a second read is refused";
  // While the worker is held, the window thread answers its own events.
  ASSERT_TRUE(headless::MouseMove(window_, 10, 12));
  platform::PumpThreadMessages();
  bool moved = false;
  for (const platform::PlatformEvent& event : seen) {
    moved = moved || (event.code == platform::kEventMouseMove && event.x == 10);
  }
  EXPECT_TRUE(moved);
  worker_.Cancel();
  gate_.Allow(100);
  WaitForPosted(kPostedReadDone);
  ConversionFailure failure;
  EXPECT_FALSE(worker_.Finish(failure));
  EXPECT_EQ(failure.kind, ConversionFailureKind::kCancelled);
  EXPECT_EQ(gate_.passed, 1) << "the read stopped at the block after the cancel";
  EXPECT_EQ(ButtonBlock()->Length(), 0u);
  std::vector<uintptr_t> posted = Posted();
  ASSERT_FALSE(posted.empty());
  EXPECT_EQ(posted.back(), kPostedReadDone);
  // The worker is free again.
  EXPECT_TRUE(worker_.Start(window_, scene_.c_str()));
  WaitForPosted(kPostedReadDone);
  EXPECT_TRUE(worker_.Finish(failure));
}

TEST_F(SceneReadWorkerTest, ParseErrorsAreKeptForTheWindowThread) {
  WriteText(program_.path() / "bad.krn", "<S>\n<a></S>");
  const std::string bad = ProgramView(program_.path() / "bad.krn");
  ASSERT_TRUE(worker_.Start(window_, bad.c_str()));
  WaitForPosted(kPostedReadDone);
  ConversionFailure failure;
  EXPECT_TRUE(worker_.Finish(failure)) << "a malformed scene still gives a page";
  EXPECT_FALSE(worker_.ParseError().empty());
  EXPECT_EQ(worker_.ParseErrorLine(), 2);
  EXPECT_EQ(toolkit_.MessageBoxCount(), 0) << "the worker shows no box";
}

}  // namespace
