// Linux: the start lock as a mutex made at the first use and destroyed after the last, counted
// with an atomic integer.
#include "platform/start_lock.h"

#include <atomic>
#include <mutex>
#include <new>

namespace {

std::atomic<int> useCount{-1};
std::atomic<std::mutex*> lock{nullptr};

}  // namespace

bool SysStartLockUse() {
  if (useCount.fetch_add(1) + 1 == 0) lock.store(new (std::nothrow) std::mutex);
  return lock.load() != nullptr;
}

void SysStartLockUnuse() {
  int count = useCount.load();
  // Never below -1: a lowering without a matching use would keep the next use from creating
  // the lock.
  while (count >= 0 && !useCount.compare_exchange_weak(count, count - 1)) {
  }
  if (count == 0) delete lock.exchange(nullptr);
}

bool SysStartLockAcquire() {
  std::mutex* current = lock.load();
  if (!current) return false;
  current->lock();
  return true;
}

void SysStartLockRelease() {
  if (std::mutex* current = lock.load()) current->unlock();
}

bool SysStartLockIsOpen() {
  return lock.load() != nullptr;
}
