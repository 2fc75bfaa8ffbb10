// Memory for the nodes, names and attribute arrays of one tree, released all at once.
#pragma once

#include <cstddef>
#include <cstdint>

// A bump allocator over chunks taken from the toolkit allocator, which counts them. Allocations are
// never freed one by one; Release gives every chunk back at once. Under AddressSanitizer every
// allocation is its own heap block instead, so overflows past an object are still seen.
class XmlArena {
 public:
  XmlArena() = default;
  XmlArena(const XmlArena&) = delete;
  XmlArena& operator=(const XmlArena&) = delete;
  // Gives every chunk back.
  ~XmlArena() { Release(); }

  // Every allocation is aligned for pointers and 32-bit values, which is all that nodes, texts
  // and name lists hold; 4 bytes, not 8, on a 32-bit system keeps their padding small.
  static constexpr size_t kAlignment = alignof(void*) > 4 ? alignof(void*) : 4;

  // `bytes` of uninitialised storage aligned to kAlignment; null when the
  // heap refuses (the arena stays usable).
  void* Allocate(size_t bytes);
  // Gives every chunk back; everything allocated before is gone.
  void Release();
  // Bytes taken by the chunks held now.
  uint64_t BytesHeld() const { return bytesHeld_; }

 private:
  struct Chunk {
    Chunk* next;
  };
  // Size of the next chunk.
  size_t NextChunkSize() const;
  // A new heap block with room for `bytes` behind its header, linked in front of the chunk
  // list when `becomesCurrent`, else behind the current chunk; null when the heap refuses.
  void* NewBlock(size_t bytes, bool becomesCurrent);

  Chunk* chunks_ = nullptr;
  char* cursor_ = nullptr;
  char* end_ = nullptr;
  uint64_t bytesHeld_ = 0;
};
