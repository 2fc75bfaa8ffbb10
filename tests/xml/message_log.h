// Message boxes shown by the code under test, read from the headless desktop's record.
#pragma once

#include <string>

#include "platform/headless/headless_desktop.h"

namespace xmltest {

// The boxes shown since this object was made.
class MessageLog {
 public:
  MessageLog() : first(headless::MessageBoxes().size()) {}

  int Count() const { return static_cast<int>(headless::MessageBoxes().size() - first); }
  std::string Title(int i) const { return Box(i).title; }
  std::string Text(int i) const { return Box(i).text; }
  uint32_t Flags(int i) const { return Box(i).flags; }
  void* Owner(int i) const { return Box(i).owner; }

 private:
  const headless::MessageBoxRecord& Box(int i) const {
    return headless::MessageBoxes().at(first + static_cast<size_t>(i));
  }

  size_t first;
};

}  // namespace xmltest
