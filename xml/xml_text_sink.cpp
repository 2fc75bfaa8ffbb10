#include "xml/xml_text_sink.h"

#include <cstdio>
#include <cstdlib>

#include "base/file_handle.h"
#include "platform/large_block.h"

namespace {

// The reference an attribute value byte is written as (length 0: the byte goes out as it
// is), kept in eight bytes so that it can be copied whole. '>' is marked as well; only "]]>"
// needs it (see AddEscaped).
struct EscapeTable {
  static constexpr size_t kRoom = XmlTextSink::kEscapeRoom;
  char text[256][kRoom] = {};
  uint8_t length[256] = {};
  constexpr EscapeTable() {
    Set('&', "&amp;");
    Set('>', "&gt;");
    Set('<', "&lt;");
    Set('"', "&quot;");
    Set('\t', "&#9;");
    Set('\n', "&#10;");
    Set('\r', "&#13;");
  }
  constexpr void Set(char c, const char* reference) {
    const unsigned char index = static_cast<unsigned char>(c);
    uint8_t n = 0;
    for (; reference[n] != 0; ++n) text[index][n] = reference[n];
    length[index] = n;
  }
};

constexpr EscapeTable kEscape;

// Decodes the UTF-8 sequence at p into code; its byte count, or 0 when it is not one.
uint32_t DecodeUtf8(const unsigned char* p, const unsigned char* end, uint32_t& code) {
  uint32_t size = 0;
  if (*p >= 0xC2 && *p <= 0xDF) {
    size = 2;
    code = *p & 0x1Fu;
  } else if (*p >= 0xE0 && *p <= 0xEF) {
    size = 3;
    code = *p & 0x0Fu;
  } else if (*p >= 0xF0 && *p <= 0xF4) {
    size = 4;
    code = *p & 0x07u;
  } else {
    return 0;
  }
  if (static_cast<size_t>(end - p) < size) return 0;
  for (uint32_t i = 1; i < size; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    code = code << 6 | (p[i] & 0x3Fu);
  }
  return size;
}

// True when the marked byte at `i` of `data` is to be escaped: all are but '>', which only
// "]]>" needs; as element text (layout 5) that would not be well-formed.
bool Escapes(const char* data, size_t i) {
  return data[i] != '>' || (i >= 2 && data[i - 1] == ']' && data[i - 2] == ']');
}

}  // namespace

XmlBufferTarget::XmlBufferTarget(StringBuffer* out) : out_(out) {
  out_->SetText(nullptr, -1, 0);
}

bool XmlBufferTarget::Start(char*& cur, char*& end) {
  // Some first storage, so that the sink always writes into memory.
  constexpr unsigned kFirstRoom = 255;
  char* data = out_->Reserve(kFirstRoom, false) ? out_->MutableData() : nullptr;
  cur = data;
  end = data != nullptr ? data + out_->Capacity() - 1 : nullptr;
  return data != nullptr;
}

bool XmlBufferTarget::MoreRoom(char*& cur, char*& end, size_t want) {
  const uint64_t used = Count(cur);
  // Growth at least doubles the storage and stops at the buffer's capacity.
  if (used + want <= StringBuffer::kMaxCapacity &&
      out_->Reserve(static_cast<unsigned>(used + want), true)) {
    char* data = out_->MutableData();
    cur = data + used;
    end = data + out_->Capacity() - 1;
    return true;
  }
  // A buffer that could not grow keeps its text, or lost its storage altogether.
  char* data = out_->MutableData();
  if (data != nullptr) data[used] = '\0';
  cur = end = data != nullptr ? data + used : nullptr;
  return false;
}

bool XmlBufferTarget::Restart(char*& cur, char*& end) {
  return Start(cur, end);
}

bool XmlBufferTarget::Finish(char* cur) {
  if (cur != nullptr) *cur = '\0';
  return true;
}

uint64_t XmlBufferTarget::Count(const char* cur) const {
  const char* data = out_->Data();
  return cur != nullptr && data != nullptr ? static_cast<uint64_t>(cur - data) : 0;
}

XmlFileTarget::XmlFileTarget(FileHandle& file) : file_(file), writer_(file) {}

XmlFileTarget::~XmlFileTarget() {
  writer_.Wait();  // no block in flight when they are freed
  std::free(ring_);
  std::free(first_);
}

bool XmlFileTarget::Start(char*& cur, char*& end) {
  first_ = static_cast<char*>(std::malloc(kBlock));
  cur = end = first_;
  if (first_ == nullptr) return false;
  end = first_ + kBlock;
  return true;
}

bool XmlFileTarget::MoreRoom(char*& cur, char*& end, size_t /*want*/) {
  const size_t count = static_cast<size_t>(cur - Block());
  const bool handed = writer_.Hand(Block(), count);
  if (handed) handed_ += count;
  if (!ringTried_) {
    // The whole ring or none of it: a shorter one would refill a block still in flight.
    ringTried_ = true;
    ring_ = static_cast<char*>(SysAllocLarge(kRing * kBlock));
    current_ = kRing - 1;  // the step below starts the ring at its first block
  }
  // The next block of the ring was handed over kRing - 1 blocks ago: written by now. Without
  // a ring the one block must be written before it is filled again.
  const bool ok = handed && (ring_ != nullptr || writer_.Wait());
  if (handed && ring_ != nullptr) current_ = (current_ + 1) % kRing;
  cur = Block();
  end = ok ? cur + kBlock : cur;
  return ok;
}

bool XmlFileTarget::Restart(char*& cur, char*& end) {
  // Whatever went out is cut off by opening the file again, truncated.
  writer_.Wait();
  handed_ = 0;
  cur = end = Block();
  file_.Close();
  if (!file_.Open(2)) return false;
  end = cur + kBlock;
  return true;
}

bool XmlFileTarget::Finish(char* cur) {
  const size_t count = static_cast<size_t>(cur - Block());
  handed_ += count;
  return writer_.WriteLast(Block(), count);
}

uint64_t XmlFileTarget::Count(const char* cur) const {
  return handed_ + static_cast<uint64_t>(cur - Block());
}

bool XmlTextSink::Grow(size_t want) {
  Scan();
  const bool ok = target_.MoreRoom(cur_, end_, want);
  scanned_ = cur_;
  return ok;
}

void XmlTextSink::Scan() {
  const char* p = scanned_;
  const size_t words = static_cast<size_t>(cur_ - p) / 8;
  uint64_t bits = highBits_;
  for (size_t i = 0; i < words; ++i) {
    uint64_t word;
    std::memcpy(&word, p + 8 * i, 8);
    bits |= word;
  }
  for (p += 8 * words; p < cur_; ++p) bits |= static_cast<unsigned char>(*p);
  highBits_ = bits & 0x8080808080808080ull;
  scanned_ = p;
}

bool XmlTextSink::AllAscii() {
  Scan();
  return highBits_ == 0;
}

bool XmlTextSink::Restart() {
  const bool ok = target_.Restart(cur_, end_);
  scanned_ = cur_;
  highBits_ = 0;
  return ok;
}

bool XmlTextSink::PutSlow(const char* text, size_t count) {
  while (count > 0) {
    if (cur_ == end_ && !Grow(count)) return false;
    const size_t room = static_cast<size_t>(end_ - cur_);
    const size_t piece = room < count ? room : count;
    std::memcpy(cur_, text, piece);
    cur_ += piece;
    text += piece;
    count -= piece;
  }
  return true;
}

bool XmlTextSink::Tabs(int32_t count) {
  size_t left = count > 0 ? static_cast<size_t>(count) : 0;
  while (left > 0) {
    if (cur_ == end_ && !Grow(left)) return false;
    const size_t room = static_cast<size_t>(end_ - cur_);
    const size_t piece = room < left ? room : left;
    std::memset(cur_, '\t', piece);
    cur_ += piece;
    left -= piece;
  }
  return true;
}

char* XmlTextSink::EscapeInto(char* out, const char* text, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (kEscape.length[c] == 0 || !Escapes(text, i)) {
      *out++ = static_cast<char>(c);
      continue;
    }
    std::memcpy(out, kEscape.text[c], EscapeTable::kRoom);
    out += kEscape.length[c];
  }
  return out;
}

char* XmlTextSink::AddNewValue(char* out, StringBuffer* value, size_t count,
                               const StringBuffer*& plain) {
  const char* data = value->Data();
  // Most values hold no marked byte: one pass that only looks, then one copy.
  uint8_t marked = 0;
  for (size_t i = 0; i < count; ++i) marked |= kEscape.length[static_cast<unsigned char>(data[i])];
  if (marked != 0) {
    char* end = EscapeInto(out, data, count);
    if (static_cast<size_t>(end - out) == count) plain = value;
    return end;
  }
  plain = value;
  Copy(out, data, count);
  return out + count;
}

bool XmlTextSink::AddEscaped(StringBuffer* text) {
  const char* data = text->Data();
  if (data == nullptr) return true;
  const size_t count = TextLength(text);
  // The usual case, UTF-8 out and room for the longest result, goes without checks.
  if (!latin1_ && static_cast<size_t>(end_ - cur_) / EscapeTable::kRoom > count) {
    cur_ = AddValue(cur_, text, count);
    return true;
  }
  size_t run = 0;
  for (size_t i = 0; i < count; ++i) {
    const unsigned char c = static_cast<unsigned char>(data[i]);
    if (kEscape.length[c] == 0 || !Escapes(data, i)) continue;
    if (!Add(data + run, i - run) || !Put(kEscape.text[c], kEscape.length[c])) return false;
    run = i + 1;
  }
  return Add(data + run, count - run);
}

bool XmlTextSink::AddAttributeSlow(StringBuffer* name, StringBuffer* value) {
  return Mark(' ') && Add(name) && Mark("=\"") && AddEscaped(value) && Mark("\" ");
}

bool XmlTextSink::AddLatin1(const char* text, size_t count) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* end = p + count;
  const unsigned char* run = p;
  while (p < end) {
    if (*p < 0x80) {
      ++p;
      continue;
    }
    uint32_t code = 0;
    const uint32_t size = DecodeUtf8(p, end, code);
    if (size == 0) {  // not UTF-8: the byte goes out as it is
      ++p;
      continue;
    }
    if (!Put(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run))) return false;
    char converted[16];
    size_t convertedLength = 1;
    if (code <= 0xFF) {
      converted[0] = static_cast<char>(code);
    } else {
      // At most "&#x1FFFFF;": the buffer always holds it.
      const int formatted =
          std::snprintf(converted, sizeof converted, "&#x%X;", static_cast<unsigned>(code));
      if (formatted <= 0 || static_cast<size_t>(formatted) >= sizeof converted) return false;
      convertedLength = static_cast<size_t>(formatted);
    }
    if (!Put(converted, convertedLength)) return false;
    p += size;
    run = p;
  }
  return Put(reinterpret_cast<const char*>(run), static_cast<size_t>(end - run));
}
