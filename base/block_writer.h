// Writes a file block by block on a thread of its own, so that the caller makes the next
// block while the last one goes out.
#pragma once

#include <cstddef>

class FileHandle;

// Hands blocks of bytes to a writing thread, which writes them in the order handed, up to
// kInFlight at a time waiting. The thread starts with the first block and ends with the
// writer; where no thread can be had, each block is written at once on the caller's thread.
// The caller must not use the file while a block is in flight (Wait first).
class BlockWriter {
 public:
  // Blocks handed over and not yet written, at most: a caller that fills kInFlight + 1
  // buffers in turn finds the next one written whenever Hand returns, and the writing thread
  // has blocks in store for a while that the caller is not running.
  static constexpr unsigned kInFlight = 3;

  explicit BlockWriter(FileHandle& file);
  // Waits for the blocks in flight, then ends the thread.
  ~BlockWriter();
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  // Waits until fewer than kInFlight blocks wait, then hands over the `count` bytes at `data`,
  // which must stay untouched until kInFlight more Hand calls or a Wait returned. False, with
  // nothing handed over, when a block since the last Wait could not be written whole.
  bool Hand(const char* data, size_t count);
  // Waits until every block handed over is written. False when one since the last Wait could
  // not be written whole; the failure is then forgotten.
  bool Wait();
  // Wait, then writes the `count` bytes at `data` on the caller's thread, so that a text that
  // never filled a block starts no thread. False as Wait, or when these bytes cannot be
  // written whole.
  bool WriteLast(const char* data, size_t count);

 private:
  struct Thread;

  FileHandle& file_;
  Thread* thread_ = nullptr;  // made with the first block; null without a thread
  bool threadless_ = false;   // no thread could be had: blocks are written by Hand
  bool failed_ = false;       // a block written by Hand failed
};
