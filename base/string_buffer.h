// Growable 8-bit, NUL-terminated text: the one string type of the program.
#pragma once

#include <cstdint>

// A buffer is two words: the data pointer and a word holding the capacity (bits 0-28, counting
// the NUL) and two flags (bit 30 external storage, bit 31 read-only view). The length is never
// stored; it is found by scanning for the NUL. Owned storage comes from the process heap.
// Nothing throws: every modifying operation returns false on failure, and a read-only view
// refuses every change.
class StringBuffer {
 public:
  // Largest capacity in bytes a buffer can hold (the 29 capacity bits).
  static constexpr uint32_t kMaxCapacity = 0x1FFFFFFFu;
  static constexpr uint32_t kExternalFlag = 0x40000000u;
  static constexpr uint32_t kReadOnlyFlag = 0x80000000u;

  // Makes an empty buffer that owns nothing; never allocates.
  StringBuffer() = default;
  // Releases owned storage (as Reset).
  ~StringBuffer() { Reset(); }
  // Takes over the other buffer's storage and flags, leaving the other empty.
  StringBuffer(StringBuffer&& other) noexcept;
  // Frees owned storage, then takes over the other buffer's storage; the other ends empty.
  StringBuffer& operator=(StringBuffer&& other) noexcept;
  StringBuffer(const StringBuffer&) = delete;
  StringBuffer& operator=(const StringBuffer&) = delete;

  // Frees owned storage (not external or read-only) and makes the buffer empty with no flags.
  void Reset();
  // Number of characters before the NUL; 0 without storage.
  unsigned Length() const;
  // The text, or null when the buffer has no storage.
  const char* Data() const { return data_; }
  // The writable storage, or null without storage or for a read-only view.
  char* MutableData() { return IsReadOnly() ? nullptr : data_; }
  // Capacity in bytes of the storage, counting the NUL.
  uint32_t Capacity() const { return bits_ & kMaxCapacity; }
  // True for a view made by AttachReadOnly.
  bool IsReadOnly() const { return (bits_ & kReadOnlyFlag) != 0; }
  // True when the storage belongs to somebody else and is never freed or grown.
  bool IsExternal() const { return (bits_ & kExternalFlag) != 0; }

  // Makes room for n characters plus the NUL, at least doubling; keep false may discard the
  // text. False for a read-only or external buffer that must grow, or when allocation fails.
  bool Reserve(unsigned n, bool keep);
  // The text becomes its first pos characters followed by text (all of it when count is -1,
  // else at most count characters); false when read-only or out of memory.
  bool SetText(const char* text, int count, unsigned pos);
  // The text becomes its first pos characters followed by the whole text of other (which may be
  // this very buffer); false when read-only or out of memory.
  bool SetFrom(const StringBuffer& other, unsigned pos);
  // The text becomes its first pos characters followed by count copies of c; false when
  // read-only or out of memory.
  bool Fill(char c, unsigned count, unsigned pos);
  // Removes count characters from pos (clipped to the end); false when read-only or pos is not
  // below Length.
  bool Erase(unsigned pos, unsigned count);
  // Exchanges the contents of the two buffers; false when exactly one is read-only, or when
  // external storage cannot take the other text.
  bool Swap(StringBuffer& other);
  // Makes the buffer a read-only view of the caller's text, which must outlive the view; null
  // leaves the buffer empty.
  void AttachReadOnly(const char* text);
  // The same for a text whose length the caller knows (text[length] is its zero byte); an
  // overlong text leaves the buffer empty.
  void AttachReadOnly(const char* text, uint32_t length);
  // Replaces the text with printf-style output of at most 1023 characters; false when read-only,
  // format is null, the output is longer or formatting fails. No argument may point into this
  // buffer's own text.
  [[gnu::format(printf, 2, 3)]] bool Format(const char* format, ...);
  // Removes trailing zeros after each decimal point, and a point left with nothing after it;
  // false when read-only.
  bool TrimFractionZeros();
  // Index of the first c at or after from, or -1 (also when from is not below Length).
  int FindChar(char c, unsigned from) const;
  // Turns every '\' into '/'; a read-only view is left unchanged.
  void ToForwardSlashes();
  // Without storage: true only for null; with storage: true when text is not null and equal
  // byte for byte.
  bool Equals(const char* text) const;
  // The exact negation of Equals.
  bool NotEquals(const char* text) const { return !Equals(text); }

 private:
  char* data_ = nullptr;
  uint32_t bits_ = 0;
};
