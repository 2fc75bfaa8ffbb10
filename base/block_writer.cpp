#include "base/block_writer.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "base/file_handle.h"

namespace {

// Writes the `count` bytes at `data` to the file, whole; false when a write fails or stalls.
bool WriteWhole(FileHandle& file, const char* data, size_t count) {
  constexpr size_t kLargestWrite = uint32_t{1} << 30;
  while (count > 0) {
    const uint32_t piece = static_cast<uint32_t>(count < kLargestWrite ? count : kLargestWrite);
    uint32_t done = 0;
    if (!file.Write(data, piece, &done) || done == 0 || done > piece) return false;
    data += done;
    count -= done;
  }
  return true;
}

}  // namespace

// The writing thread and what it shares with the caller, under `mutex`: the blocks in flight,
// oldest first, in a ring.
struct BlockWriter::Thread {
  struct Block {
    const char* data;
    size_t count;
  };
  std::mutex mutex;
  std::condition_variable changed;  // a block was handed over or written, or the end came
  Block ring[kInFlight] = {};
  uint32_t first = 0;    // the oldest block in flight
  uint32_t waiting = 0;  // blocks in flight
  bool failed = false;
  bool stop = false;
  std::thread thread;

  void Run(FileHandle& file) {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
      changed.wait(lock, [this] { return waiting > 0 || stop; });
      if (waiting == 0) return;
      const Block block = ring[first];
      // After a failure the blocks still waiting are dropped.
      const bool write = !failed;
      lock.unlock();
      const bool ok = !write || WriteWhole(file, block.data, block.count);
      lock.lock();
      if (!ok) failed = true;
      first = (first + 1) % kInFlight;
      --waiting;
      changed.notify_all();
    }
  }

  // Waits until fewer than `most` blocks are in flight; `lock` holds `mutex`.
  void Below(std::unique_lock<std::mutex>& lock, uint32_t most) {
    changed.wait(lock, [this, most] { return waiting < most; });
  }
  void Idle(std::unique_lock<std::mutex>& lock) { Below(lock, 1); }
};

BlockWriter::BlockWriter(FileHandle& file) : file_(file) {}

BlockWriter::~BlockWriter() {
  if (thread_ == nullptr) return;
  {
    std::unique_lock<std::mutex> lock(thread_->mutex);
    thread_->Idle(lock);
    thread_->stop = true;
    thread_->changed.notify_all();
  }
  thread_->thread.join();
  delete thread_;
}

bool BlockWriter::Hand(const char* data, size_t count) {
  if (thread_ == nullptr && !threadless_) {
    Thread* made = new (std::nothrow) Thread;
    try {
      if (made != nullptr) made->thread = std::thread([made, &file = file_] { made->Run(file); });
    } catch (const std::system_error&) {
      delete made;
      made = nullptr;
    }
    thread_ = made;
    threadless_ = made == nullptr;
  }
  if (threadless_) {
    if (failed_) return false;
    failed_ = !WriteWhole(file_, data, count);
    return !failed_;
  }
  if (count == 0) return true;
  std::unique_lock<std::mutex> lock(thread_->mutex);
  thread_->Below(lock, kInFlight);
  if (thread_->failed) return false;
  thread_->ring[(thread_->first + thread_->waiting) % kInFlight] = {data, count};
  ++thread_->waiting;
  thread_->changed.notify_all();
  return true;
}

bool BlockWriter::Wait() {
  bool failed = failed_;
  failed_ = false;
  if (thread_ != nullptr) {
    std::unique_lock<std::mutex> lock(thread_->mutex);
    thread_->Idle(lock);
    failed = thread_->failed;
    thread_->failed = false;
  }
  return !failed;
}

bool BlockWriter::WriteLast(const char* data, size_t count) {
  return Wait() && WriteWhole(file_, data, count);
}
