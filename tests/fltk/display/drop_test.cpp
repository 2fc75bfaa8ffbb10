#include "display_fixture.h"  // gtest before Xlib, whose macros clash with it

#include <FL/x.H>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fltk/fltk_state.h"
#include "platform/fltk/fltk_window.h"
#include "platform/gui_window.h"

extern char** environ;

namespace display_test {
namespace {

// Starts the XDND drag source of the end-to-end tests; its pid, or -1.
pid_t StartDrop(void* window, int x, int y, const std::vector<std::string>& files) {
  const char* tool = std::getenv("KRN_XDND");
  if (!tool) return -1;
  std::vector<std::string> args = {tool,
                                   std::to_string(fl_xid(fltk_backend::AsWindow(window)->window)),
                                   std::to_string(x), std::to_string(y)};
  args.insert(args.end(), files.begin(), files.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  return posix_spawn(&pid, tool, nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

TEST_F(DisplayTest, SeveralDroppedFilesArriveInTheProgramsView) {
  void* w = MakeWindow(kMainStyle, 60, 60, 481, 75);
  ASSERT_TRUE(platform::AcceptDroppedFiles(w, true));
  pid_t pid =
      StartDrop(w, 240, 40, {"/tmp/my scenes/a b.krn", "/tmp/x%y.krn", "/tmp/\xC3\xBC.krn"});
  ASSERT_GT(pid, 0) << "KRN_XDND must name the drag source";
  ASSERT_TRUE(PumpUntil([&] { return !Seen(platform::kEventFilesDropped).empty(); }, 5000))
      << "the drop must reach the window";
  int status = -1;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the drag source must see the drop accepted and finished";
  auto drops = Seen(platform::kEventFilesDropped);
  ASSERT_EQ(drops.size(), 1u) << "one drop of three files is one event";
  EXPECT_EQ(drops[0].window, w);
  EXPECT_EQ(drops[0].x, 240) << "the drop point in client coordinates";
  EXPECT_EQ(drops[0].y, 40);
  ASSERT_EQ(drops[0].dropNames.size(), 3u);
  EXPECT_EQ(drops[0].dropNames[0], "Z:\\tmp\\my scenes\\a b.krn")
      << "decoded, in the program's view";
  EXPECT_EQ(drops[0].dropNames[1], "Z:\\tmp\\x%y.krn");
  EXPECT_EQ(drops[0].dropNames[2], "Z:\\tmp\\\xC3\xBC.krn");
}

TEST_F(DisplayTest, WindowsThatTakeNoFilesRefuseDrops) {
  void* w = MakeWindow(kMainStyle, 60, 60, 300, 75);
  pid_t pid = StartDrop(w, 100, 40, {"/tmp/a.krn"});
  ASSERT_GT(pid, 0);
  int status = -1;
  PumpUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 12000);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0)
      << "the drag source must be told the drop was refused";
  Settle(50);
  EXPECT_TRUE(Seen(platform::kEventFilesDropped).empty());
}

}  // namespace
}  // namespace display_test
