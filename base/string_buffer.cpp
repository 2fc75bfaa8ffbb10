#include "base/string_buffer.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/large_block.h"

namespace {

// Largest number of characters a buffer can hold (its capacity counts the NUL as well).
constexpr uint64_t kMaxChars = StringBuffer::kMaxCapacity - 1;

// Characters of a number that TrimFractionZeros looks at.
bool IsNumberChar(char c) {
  return (c >= '0' && c <= '9') || c == '.';
}

}  // namespace

StringBuffer::StringBuffer(StringBuffer&& other) noexcept : data_(other.data_), bits_(other.bits_) {
  other.data_ = nullptr;
  other.bits_ = 0;
}

StringBuffer& StringBuffer::operator=(StringBuffer&& other) noexcept {
  if (this != &other) {
    Reset();
    data_ = other.data_;
    bits_ = other.bits_;
    other.data_ = nullptr;
    other.bits_ = 0;
  }
  return *this;
}

void StringBuffer::Reset() {
  if (data_ != nullptr && !IsExternal() && !IsReadOnly()) std::free(data_);
  data_ = nullptr;
  bits_ = 0;
}

unsigned StringBuffer::Length() const {
  if (data_ == nullptr) return 0;
  return static_cast<unsigned>(std::strlen(data_));
}

bool StringBuffer::Reserve(unsigned n, bool keep) {
  const uint32_t capacity = Capacity();
  if (capacity > n) return true;
  uint64_t request = uint64_t{capacity} * 2;
  if (request < n) request = n;
  if (IsReadOnly() || IsExternal()) return false;
  // The capacity must fit its 29 bits: a larger request is refused and the text kept.
  if (request > kMaxChars) {
    if (n > kMaxChars) return false;
    request = kMaxChars;
  }
  const bool hadStorage = data_ != nullptr;
  if (!keep && hadStorage) Reset();
  const size_t bytes = static_cast<size_t>(request) + 1;
  void* grown = nullptr;
  if (bytes >= kLargeBlockBytes && (data_ == nullptr || capacity < kLargeBlockBytes)) {
    // Storage that becomes large is placed for large pages (platform/large_block.h) once;
    // from then on it grows as the heap chooses.
    grown = SysAllocLarge(bytes);
    if (grown != nullptr && data_ != nullptr) {
      std::memcpy(grown, data_, capacity);
      std::free(data_);
    }
  } else {
    grown = std::realloc(data_, bytes);
  }
  if (grown == nullptr) {
    // The buffer ends empty and consistent; the old storage is released.
    Reset();
    return false;
  }
  data_ = static_cast<char*>(grown);
  if (keep && hadStorage) {
    data_[request] = '\0';
  } else {
    data_[0] = '\0';
    data_[request] = '\0';
  }
  bits_ = static_cast<uint32_t>(request + 1);
  return true;
}

bool StringBuffer::SetText(const char* text, int count, unsigned pos) {
  if (IsReadOnly()) return false;
  // Never write behind the storage: pos must lie within the text (at most the last byte).
  if (data_ == nullptr ? pos != 0 : pos >= Capacity()) return false;
  // Resolve the count to the number of characters really available, so that a count larger than
  // the text stops at its end instead of leaving unwritten bytes before the NUL.
  size_t length = 0;
  if (text != nullptr) length = count < 0 ? std::strlen(text) : strnlen(text, unsigned(count));
  if (data_ == nullptr && text == nullptr) return true;
  if (uint64_t{pos} + length > kMaxChars) return false;

  const uintptr_t start = reinterpret_cast<uintptr_t>(data_);
  const uintptr_t source = reinterpret_cast<uintptr_t>(text);
  if (text != nullptr && data_ != nullptr && source >= start && source < start + Capacity()) {
    // The text lies in this buffer's own storage: build the result apart and exchange it.
    if (pos == 0 && text == data_) {
      if (length < Length()) data_[length] = '\0';
      return true;
    }
    StringBuffer result;
    if (!result.Reserve(unsigned(pos + length), false)) return false;
    std::memcpy(result.data_, data_, pos);
    std::memcpy(result.data_ + pos, text, length);
    result.data_[pos + length] = '\0';
    return Swap(result);
  }
  if (text == nullptr || length == 0) {
    // An empty text still gives storage, so that the buffer then differs from one without any.
    if (data_ == nullptr && !Reserve(0, false)) return false;
    data_[pos] = '\0';
    return true;
  }
  if (!Reserve(unsigned(pos + length), pos != 0)) return false;
  std::memcpy(data_ + pos, text, length);
  data_[pos + length] = '\0';
  return true;
}

bool StringBuffer::SetFrom(const StringBuffer& other, unsigned pos) {
  if (IsReadOnly()) return false;
  if (&other == this && pos == 0) return true;
  // An empty other (with or without storage) cuts this text at pos.
  if (other.data_ == nullptr) {
    if (data_ == nullptr ? pos != 0 : pos >= Capacity()) return false;
    if (data_ != nullptr) data_[pos] = '\0';
    return true;
  }
  return SetText(other.data_, -1, pos);
}

bool StringBuffer::Fill(char c, unsigned count, unsigned pos) {
  if (IsReadOnly()) return false;
  if (count == 0) return true;
  if (data_ == nullptr ? pos != 0 : pos >= Capacity()) return false;
  if (uint64_t{pos} + count > kMaxChars) return false;
  if (!Reserve(pos + count, pos != 0)) return false;
  std::memset(data_ + pos, c, count);
  data_[pos + count] = '\0';
  return true;
}

bool StringBuffer::Erase(unsigned pos, unsigned count) {
  if (IsReadOnly()) return false;
  const unsigned length = Length();
  if (pos >= length) return false;
  if (count > length - pos) count = length - pos;
  if (pos + count == length) {
    data_[pos] = '\0';
    return true;
  }
  // Build the shortened text apart, so that nothing reads bytes it has already moved.
  StringBuffer result;
  if (!result.Reserve(length - count, false)) return false;
  std::memcpy(result.data_, data_, pos);
  std::memcpy(result.data_ + pos, data_ + pos + count, length - pos - count);
  result.data_[length - count] = '\0';
  return Swap(result);
}

bool StringBuffer::Swap(StringBuffer& other) {
  if (this == &other) return true;
  const uint32_t flags = bits_ & ~kMaxCapacity;
  const uint32_t otherFlags = other.bits_ & ~kMaxCapacity;
  if ((flags == 0 && otherFlags == 0) || (IsReadOnly() && other.IsReadOnly())) {
    char* data = data_;
    uint32_t bits = bits_;
    data_ = other.data_;
    bits_ = other.bits_;
    other.data_ = data;
    other.bits_ = bits;
    return true;
  }
  if (IsReadOnly() != other.IsReadOnly()) return false;
  // One of them has external storage that cannot move: copy the texts, if each fits the other.
  const unsigned length = Length();
  const unsigned otherLength = other.Length();
  if (otherLength >= Capacity() || length >= other.Capacity()) return false;
  StringBuffer saved;
  if (length != 0 && !saved.SetText(data_, int(length), 0)) return false;
  std::memcpy(data_, other.data_, otherLength + 1);
  if (length != 0) {
    std::memcpy(other.data_, saved.data_, length + 1);
  } else {
    other.data_[0] = '\0';
  }
  return true;
}

void StringBuffer::AttachReadOnly(const char* text) {
  const size_t length = text != nullptr ? std::strlen(text) : 0;
  AttachReadOnly(length <= kMaxChars ? text : nullptr, static_cast<uint32_t>(length));
}

void StringBuffer::AttachReadOnly(const char* text, uint32_t length) {
  Reset();
  if (text == nullptr) return;
  if (length > kMaxChars) return;
  data_ = const_cast<char*>(text);  // never written: every change is refused while read-only
  bits_ = static_cast<uint32_t>(length + 1) | kExternalFlag | kReadOnlyFlag;
}

bool StringBuffer::Format(const char* format, ...) {
  if (IsReadOnly() || format == nullptr) return false;
  if (!Reserve(1024, false)) return false;
  va_list args;
  va_start(args, format);
  // Bounded by the storage: longer output is cut there and the call fails.
  const int written = std::vsnprintf(data_, Capacity(), format, args);
  va_end(args);
  if (written < 0) {
    data_[0] = '\0';
    return false;
  }
  return written <= 1023;
}

bool StringBuffer::TrimFractionZeros() {
  if (IsReadOnly()) return false;
  unsigned i = 0;
  while (i < Length()) {
    const int point = FindChar('.', i);
    if (point < 0) break;
    i = unsigned(point);
    unsigned end = i + 1;
    while (data_[end] != '\0' && IsNumberChar(data_[end])) ++end;
    // The run is [i, end); count the zeros that end it.
    unsigned zeros = 0;
    while (end - zeros - 1 > i && data_[end - zeros - 1] == '0') ++zeros;
    if (zeros == end - i - 1) {
      // Nothing but zeros after the point: the point goes as well.
      if (!Erase(i, zeros + 1)) return false;
    } else if (zeros != 0) {
      if (!Erase(end - zeros, zeros)) return false;
    }
    ++i;
  }
  return true;
}

int StringBuffer::FindChar(char c, unsigned from) const {
  const unsigned length = Length();
  if (from >= length) return -1;
  const void* found = std::memchr(data_ + from, c, length - from);
  return found == nullptr ? -1 : int(static_cast<const char*>(found) - data_);
}

void StringBuffer::ToForwardSlashes() {
  if (IsReadOnly()) return;
  if (data_ == nullptr) return;
  for (char* c = data_; *c != '\0'; ++c) {
    if (*c == '\\') *c = '/';
  }
}

bool StringBuffer::Equals(const char* text) const {
  if (data_ == nullptr) return text == nullptr;
  return text != nullptr && std::strcmp(data_, text) == 0;
}
