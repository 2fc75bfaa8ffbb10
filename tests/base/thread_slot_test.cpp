#include "base/thread_slot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// What each ended thread's object held when it was destroyed.
std::mutex endedMutex;
std::vector<int> endedValues;

struct Probe {
  int value = 0;
  ~Probe() {
    // Memory taken and written here would land on the object's storage, were that freed
    // before this destructor ran; the value read after it shows whether it was.
    for (size_t size = 4; size <= 64; size += 4) {
      void* block = std::malloc(size);
      if (block != nullptr) std::memset(block, 0xAB, size);
      std::free(block);
    }
    std::lock_guard<std::mutex> lock(endedMutex);
    endedValues.push_back(value);
  }
};

ThreadSlot<Probe> probes;

// Each thread has an object of its own, the same on every Get, and when the thread ends its
// object is destroyed whole: the destructor still reads what the thread left in it.
TEST(ThreadSlot, EachThreadOwnsOneObjectDestroyedWholeWhenItEnds) {
  Probe* mine = probes.Get();
  ASSERT_NE(mine, nullptr);
  mine->value = -1;
  endedValues.clear();
  constexpr int kRounds = 10;
  constexpr int kThreads = 4;
  for (int round = 0; round < kRounds; ++round) {
    std::vector<std::thread> threads;
    std::vector<Probe*> seen(kThreads, nullptr);
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&seen, t, round] {
        Probe* probe = probes.Get();
        if (probe == nullptr || probes.Get() != probe) return;
        probe->value = round * kThreads + t + 1;
        seen[size_t(t)] = probe;
      });
    }
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) {
      EXPECT_NE(seen[size_t(t)], nullptr) << "thread " << t << " had no object of its own";
      EXPECT_NE(seen[size_t(t)], mine) << "thread " << t << " shared the test's object";
    }
  }
  std::vector<int> values;
  {
    std::lock_guard<std::mutex> lock(endedMutex);
    values = endedValues;
  }
  ASSERT_EQ(values.size(), size_t(kRounds * kThreads)) << "one destruction per ended thread";
  std::vector<bool> found(kRounds * kThreads + 1, false);
  for (int value : values) {
    ASSERT_GE(value, 1) << "an object was destroyed with other contents than its thread left";
    ASSERT_LE(value, kRounds * kThreads);
    EXPECT_FALSE(found[size_t(value)]) << "object " << value << " destroyed twice";
    found[size_t(value)] = true;
  }
  EXPECT_EQ(probes.Get(), mine) << "the test's own object outlives the other threads";
  EXPECT_EQ(mine->value, -1);
}

}  // namespace
