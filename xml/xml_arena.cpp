#include "xml/xml_arena.h"

#include <cstdint>

#include "platform/large_block.h"
#include "ui/toolkit_runtime.h"

#if defined(__SANITIZE_ADDRESS__)
#define KRN_ARENA_PER_OBJECT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KRN_ARENA_PER_OBJECT 1
#endif
#endif

namespace {

constexpr size_t kSmallestChunk = 4 * 1024;
constexpr size_t kLargeChunk = kLargeBlockBytes;
constexpr uint64_t kLargeFrom = 1024 * 1024;

size_t RoundUp(size_t bytes) {
  return (bytes + XmlArena::kAlignment - 1) & ~(XmlArena::kAlignment - 1);
}

}  // namespace

size_t XmlArena::NextChunkSize() const {
  // An eighth of what the arena holds, in whole 4 KiB, from 4 KiB: a small tree never holds
  // much more than it uses. From 1 MiB on, chunks of one large page each (see
  // platform/large_block.h): a large tree takes one page fault per 2 MiB, and holds at most
  // one chunk more than it uses.
  if (bytesHeld_ >= kLargeFrom) return kLargeChunk;
  const uint64_t eighth = bytesHeld_ / 8 / kSmallestChunk * kSmallestChunk;
  return eighth < kSmallestChunk ? kSmallestChunk : static_cast<size_t>(eighth);
}

void* XmlArena::NewBlock(size_t bytes, bool becomesCurrent) {
  const size_t header = RoundUp(sizeof(Chunk));
  if (bytes > UINT32_MAX - header) return nullptr;
  Chunk* chunk = static_cast<Chunk*>(ToolkitAlloc(static_cast<uint32_t>(header + bytes), false));
  if (chunk == nullptr) return nullptr;
  bytesHeld_ += header + bytes;
  if (becomesCurrent || chunks_ == nullptr) {
    chunk->next = chunks_;
    chunks_ = chunk;
  } else {
    // Behind the current chunk, whose free room stays in use.
    chunk->next = chunks_->next;
    chunks_->next = chunk;
  }
  return reinterpret_cast<char*>(chunk) + header;
}

void* XmlArena::Allocate(size_t bytes) {
  bytes = RoundUp(bytes == 0 ? 1 : bytes);
  if (bytes == 0) return nullptr;  // rounding overflowed
#ifdef KRN_ARENA_PER_OBJECT
  // One heap block per object: the sanitizer's red zones sit right behind each one.
  return NewBlock(bytes, false);
#else
  // A large object gets a block of its own, so no chunk is left mostly empty.
  const size_t chunkSize = NextChunkSize();
  if (bytes > chunkSize / 4) return NewBlock(bytes, false);
  if (static_cast<size_t>(end_ - cursor_) < bytes) {
    const size_t room = chunkSize - RoundUp(sizeof(Chunk));
    char* start = static_cast<char*>(NewBlock(room, true));
    if (start == nullptr) return nullptr;
    cursor_ = start;
    end_ = start + room;
  }
  void* result = cursor_;
  cursor_ += bytes;
  return result;
#endif
}

void XmlArena::Release() {
  while (chunks_ != nullptr) {
    Chunk* next = chunks_->next;
    ToolkitFree(chunks_);
    chunks_ = next;
  }
  cursor_ = nullptr;
  end_ = nullptr;
  bytesHeld_ = 0;
}
