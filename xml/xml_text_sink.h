// The writer's output: appends into storage handed out by a target, so that a text of any
// length costs one copy of each byte and no rescans.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/block_writer.h"
#include "base/string_buffer.h"

class FileHandle;

// Where a text goes. It hands out room to write into; the sink fills it and asks for more.
class XmlTextTarget {
 public:
  // The bytes up to `cur` are final: takes them and sets `cur` and `end` to room for at least
  // one more byte (at least `want` when the target keeps the whole text in one piece). False
  // when that is impossible; `cur` and `end` are then equal.
  virtual bool MoreRoom(char*& cur, char*& end, size_t want) = 0;
  // Drops everything taken so far and sets `cur` and `end` to room at the start again;
  // false when that is impossible.
  virtual bool Restart(char*& cur, char*& end) = 0;
  // Takes the final bytes up to `cur`; false when they cannot be kept.
  virtual bool Finish(char* cur) = 0;
  // Bytes taken or written so far, counting those up to `cur`.
  virtual uint64_t Count(const char* cur) const = 0;

 protected:
  ~XmlTextTarget() = default;
};

// Keeps the text in a StringBuffer, emptied first, zero-terminated at the end. It grows as
// the buffer does, up to the buffer's capacity; a failed growth fails the text.
class XmlBufferTarget final : public XmlTextTarget {
 public:
  explicit XmlBufferTarget(StringBuffer* out);
  // Room in the buffer's storage; false when no storage can be had.
  bool Start(char*& cur, char*& end);
  bool MoreRoom(char*& cur, char*& end, size_t want) override;
  bool Restart(char*& cur, char*& end) override;
  bool Finish(char* cur) override;
  uint64_t Count(const char* cur) const override;

 private:
  StringBuffer* out_;
};

// Writes the text in blocks of a fixed size to a file open in mode 2 (created or truncated),
// so memory stays the same whatever the text's length. Full blocks go out on a thread of
// their own while the sink fills the next one of a ring. Starting again opens the file so
// again.
class XmlFileTarget final : public XmlTextTarget {
 public:
  // Block size in bytes.
  static constexpr size_t kBlock = size_t{1} << 20;
  explicit XmlFileTarget(FileHandle& file);
  ~XmlFileTarget();
  XmlFileTarget(const XmlFileTarget&) = delete;
  XmlFileTarget& operator=(const XmlFileTarget&) = delete;
  // Room in the block; false when the block cannot be had.
  bool Start(char*& cur, char*& end);
  bool MoreRoom(char*& cur, char*& end, size_t want) override;
  bool Restart(char*& cur, char*& end) override;
  bool Finish(char* cur) override;
  uint64_t Count(const char* cur) const override;

 private:
  static constexpr unsigned kRing = BlockWriter::kInFlight + 1;
  char* Block() const { return ring_ != nullptr ? ring_ + current_ * kBlock : first_; }

  FileHandle& file_;
  // The first block, which is all that a short text takes; once it is full, the blocks filled
  // in turn, side by side in one allocation placed for large pages (see
  // platform/large_block.h). Without that ring, the first block is reused once written.
  char* first_ = nullptr;
  char* ring_ = nullptr;
  bool ringTried_ = false;
  unsigned current_ = 0;  // the block of the ring being filled
  uint64_t handed_ = 0;   // bytes handed to the writer
  BlockWriter writer_;
};

// Appends text to a target. The common case, a piece that fits the room left, is a copy and
// a pointer increment; only a full room goes through the target.
class XmlTextSink {
 public:
  XmlTextSink(XmlTextTarget& target, char* cur, char* end)
      : target_(target), cur_(cur), end_(end), scanned_(cur) {}

  // From now on UTF-8 text is written in ISO-8859-1; a character beyond it becomes a
  // character reference.
  void WriteLatin1() { latin1_ = true; }

  // Appends `count` bytes of text (converted when writing ISO-8859-1).
  bool Add(const char* text, size_t count) {
    if (latin1_) return AddLatin1(text, count);
    return Put(text, count);
  }
  // Appends a buffer's text.
  bool Add(StringBuffer* text) {
    return text->Data() == nullptr || Add(text->Data(), TextLength(text));
  }
  // Appends a fixed piece of markup (ASCII, so never converted).
  template <size_t N>
  bool Mark(const char (&text)[N]) {
    return Put(text, N - 1);
  }
  bool Mark(char c) {
    if (cur_ == end_ && !Grow(1)) return false;
    *cur_++ = c;
    return true;
  }
  // Appends `count` tab characters (none for a count of 0 or less).
  bool Tabs(int32_t count);
  bool LineBreak() { return Put("\r\n", 2); }
  // Appends an attribute value so that a parser gives it back unchanged: the markup
  // characters as entity references, and tab, line feed and carriage return as character
  // references, which attribute-value normalisation leaves alone.
  bool AddEscaped(StringBuffer* text);
  // Appends ` name="value" ` (a space, the name, '=', the value escaped as by AddEscaped in
  // double quotes, and a space).
  bool AddAttribute(StringBuffer* name, StringBuffer* value) {
    const size_t nameLength = TextLength(name);
    const size_t valueLength = TextLength(value);
    // The usual case, UTF-8 out and room for the longest result, goes without checks.
    constexpr size_t kMarks = 5;  // ' ', '=', two quotes and ' '
    if (!latin1_ && name->Data() != nullptr && value->Data() != nullptr &&
        static_cast<size_t>(end_ - cur_) / kEscapeRoom > nameLength + valueLength + kMarks) {
      char* out = cur_;
      *out++ = ' ';
      Copy(out, name->Data(), nameLength);
      out += nameLength;
      *out++ = '=';
      *out++ = '"';
      out = AddValue(out, value, valueLength);
      *out++ = '"';
      *out++ = ' ';
      cur_ = out;
      return true;
    }
    return AddAttributeSlow(name, value);
  }

  // The most bytes one byte of an attribute value becomes once escaped.
  static constexpr size_t kEscapeRoom = 8;

  // Drops the text so far to start again; false when the target cannot.
  bool Restart();
  // True when every byte appended since the start is below 0x80.
  bool AllAscii();
  // Hands the last bytes to the target; false when it cannot keep them.
  bool Finish() { return target_.Finish(cur_); }
  // Bytes appended so far.
  uint64_t Length() const { return target_.Count(cur_); }

  // The length of a buffer's text. A read-only view holds its text up to its capacity (the
  // views a tree shares hold no zero byte), so only a buffer of its own is scanned.
  static size_t TextLength(StringBuffer* text) {
    if (text->Data() == nullptr) return 0;
    return text->IsReadOnly() ? text->Capacity() - 1 : text->Length();
  }

 private:
  bool Put(const char* text, size_t count) {
    if (static_cast<size_t>(end_ - cur_) >= count) {
      Copy(cur_, text, count);
      cur_ += count;
      return true;
    }
    return PutSlow(text, count);
  }
  // memcpy, with the short pieces that make most of a text copied in place.
  static void Copy(char* to, const char* from, size_t count) {
    if (count > 16) {
      std::memcpy(to, from, count);
    } else if (count >= 8) {  // two eight-byte moves that may overlap
      uint64_t head, tail;
      std::memcpy(&head, from, 8);
      std::memcpy(&tail, from + count - 8, 8);
      std::memcpy(to, &head, 8);
      std::memcpy(to + count - 8, &tail, 8);
    } else if (count >= 4) {
      uint32_t head, tail;
      std::memcpy(&head, from, 4);
      std::memcpy(&tail, from + count - 4, 4);
      std::memcpy(to, &head, 4);
      std::memcpy(to + count - 4, &tail, 4);
    } else if (count > 0) {
      to[0] = from[0];
      to[count / 2] = from[count / 2];
      to[count - 1] = from[count - 1];
    }
  }
  // Writes `count` bytes of `text` escaped at `out`, which has room for eight bytes per byte
  // of text; the end of what it wrote.
  static char* EscapeInto(char* out, const char* text, size_t count);
  // EscapeInto for the `count` bytes of `value`, copied whole when the value is known to
  // need no reference.
  char* AddValue(char* out, StringBuffer* value, size_t count) {
    const StringBuffer*& plain = plain_[(reinterpret_cast<uintptr_t>(value) >> 4) % kPlainSlots];
    if (plain != value) return AddNewValue(out, value, count, plain);
    Copy(out, value->Data(), count);
    return out + count;
  }
  // AddValue for a value not met lately: looked at, escaped when it must be, and remembered
  // in `plain` (its slot) when it needs no reference.
  char* AddNewValue(char* out, StringBuffer* value, size_t count, const StringBuffer*& plain);
  // Asks the target for more room, once the bytes it takes are scanned; false when it has
  // none.
  bool Grow(size_t want);
  // Notes whether the bytes appended since the last scan are all below 0x80.
  void Scan();
  // Put for a piece longer than the room left: fills the room and asks for more.
  bool PutSlow(const char* text, size_t count);
  bool AddLatin1(const char* text, size_t count);
  // AddAttribute where the usual case does not hold: ISO-8859-1 out, or little room left.
  bool AddAttributeSlow(StringBuffer* name, StringBuffer* value);

  XmlTextTarget& target_;
  char* cur_;
  char* end_;
  const char* scanned_;  // the bytes before it are scanned
  uint64_t highBits_ = 0;
  bool latin1_ = false;
  // Values met that need no reference, by address: the values of a tree are shared, so the
  // same few come back all the time, and none changes while a text is written.
  static constexpr size_t kPlainSlots = 256;
  const StringBuffer* plain_[kPlainSlots] = {};
};
