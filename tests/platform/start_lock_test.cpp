// The toolkit's start lock of the system backend: made at the first use, closed after the
// last, and excluding a second holder. Also built into the Windows backend's tests.
#include "platform/start_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

TEST(StartLock, LivesFromTheFirstUseToTheLast) {
  ASSERT_FALSE(SysStartLockIsOpen()) << "nothing in this program should hold the lock yet";
  EXPECT_FALSE(SysStartLockAcquire()) << "acquired a lock that does not exist";

  ASSERT_TRUE(SysStartLockUse()) << "the first use did not create the lock";
  ASSERT_TRUE(SysStartLockUse()) << "a nested use failed";
  ASSERT_TRUE(SysStartLockAcquire());
  SysStartLockRelease();
  ASSERT_TRUE(SysStartLockAcquire()) << "the lock stayed taken after its release";
  SysStartLockRelease();

  SysStartLockUnuse();
  EXPECT_TRUE(SysStartLockIsOpen()) << "the inner unuse closed the lock";
  ASSERT_TRUE(SysStartLockAcquire()) << "the lock is unusable after the inner unuse";
  SysStartLockRelease();
  SysStartLockUnuse();
  EXPECT_FALSE(SysStartLockIsOpen()) << "the last unuse left the lock open";
  EXPECT_FALSE(SysStartLockAcquire());

  // A lowering nobody matched must not keep the next use from creating the lock again.
  SysStartLockUnuse();
  ASSERT_TRUE(SysStartLockUse()) << "an unmatched unuse broke the next use";
  EXPECT_TRUE(SysStartLockIsOpen());
  SysStartLockUnuse();
  EXPECT_FALSE(SysStartLockIsOpen()) << "the count went wrong after an unmatched unuse";
}

TEST(StartLock, ASecondHolderWaitsForTheRelease) {
  ASSERT_TRUE(SysStartLockUse());
  ASSERT_TRUE(SysStartLockAcquire());
  std::atomic<bool> entered{false};
  std::thread other([&entered] {
    if (SysStartLockAcquire()) {
      entered = true;
      SysStartLockRelease();
    }
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(entered.load()) << "another thread took the lock while it was held";
  SysStartLockRelease();
  other.join();
  EXPECT_TRUE(entered.load()) << "the waiting thread never got the lock";
  SysStartLockUnuse();
  EXPECT_FALSE(SysStartLockIsOpen());
}
