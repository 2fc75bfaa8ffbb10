#include "xml/xml_markup_scanner.h"

#include <cstring>

void XmlMarkupScanner::Reset() {
  quote_ = 0;
  literalReturn_ = State::Data;
  Enter(State::Data);
}

void XmlMarkupScanner::Enter(State state) {
  state_ = state;
  recentLength_ = 0;
}

bool XmlMarkupScanner::RecentEndsWith(const char* text) const {
  const uint32_t length = static_cast<uint32_t>(std::strlen(text));
  return length <= recentLength_ &&
         std::memcmp(recent_ + recentLength_ - length, text, length) == 0;
}

void XmlMarkupScanner::Feed(const char* text, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) Take(text[i]);
}

void XmlMarkupScanner::Take(char c) {
  if (recentLength_ == sizeof recent_) {
    std::memmove(recent_, recent_ + 1, sizeof recent_ - 1);
    --recentLength_;
  }
  recent_[recentLength_++] = c;

  switch (state_) {
    case State::Data:
      if (c == '&') Enter(State::Reference);
      if (c == '<') {
        Enter(State::Open);
        recent_[recentLength_++] = c;
      }
      return;
    case State::Reference:
      if (c == ';') Enter(State::Data);
      return;
    case State::Open:
      // recent_ holds the markup from its '<' on: decide once a kind is certain.
      if (RecentEndsWith("<?")) {
        Enter(State::Instruction);
      } else if (RecentEndsWith("<!--")) {
        Enter(State::Comment);
      } else if (RecentEndsWith("<![CDATA[")) {
        Enter(State::Cdata);
      } else if (RecentEndsWith("<!DOCTYPE")) {
        Enter(State::Doctype);
      } else {
        const char* const kinds[] = {"<!--", "<![CDATA[", "<!DOCTYPE"};
        bool prefix = false;
        for (const char* kind : kinds) {
          prefix = prefix || (recentLength_ <= std::strlen(kind) &&
                              std::memcmp(recent_, kind, recentLength_) == 0);
        }
        if (!prefix) Enter(c == '>' ? State::Data : State::Markup);
      }
      return;
    case State::Comment:
      if (RecentEndsWith("-->")) Enter(State::Data);
      return;
    case State::Instruction:
      if (RecentEndsWith("?>")) Enter(State::Data);
      return;
    case State::Cdata:
      if (RecentEndsWith("]]>")) Enter(State::Data);
      return;
    case State::Doctype:
    case State::Subset:
      if (c == '"' || c == '\'') {
        literalReturn_ = state_;
        quote_ = c;
        Enter(State::Literal);
      } else if (state_ == State::Doctype) {
        if (c == '[') Enter(State::Subset);
        if (c == '>') Enter(State::Data);
      } else if (c == ']') {
        Enter(State::Doctype);
      } else if (RecentEndsWith("<!--")) {
        Enter(State::SubsetComment);
      } else if (RecentEndsWith("<?")) {
        Enter(State::SubsetPi);
      }
      return;
    case State::SubsetComment:
      if (RecentEndsWith("-->")) Enter(State::Subset);
      return;
    case State::SubsetPi:
      if (RecentEndsWith("?>")) Enter(State::Subset);
      return;
    case State::Literal:
      if (c == quote_) Enter(literalReturn_);
      return;
    case State::Markup:
      if (c == '>') Enter(State::Data);
      return;
  }
}
