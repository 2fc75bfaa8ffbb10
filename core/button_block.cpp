#include "core/button_block.h"

#include "base/thread_slot.h"

namespace {
ThreadSlot<StringBuffer> buttonBlocks;
}  // namespace

StringBuffer* ButtonBlock() {
  return buttonBlocks.Get();
}

void ClearButtonBlock() {
  if (StringBuffer* block = ButtonBlock()) block->SetText(nullptr, -1, 0);
}
