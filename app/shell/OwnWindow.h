// Finding a window of the shell's own again: the toolkit may dispose of a window without
// telling its owner (at shut-down), so owners keep its platform window and look it up,
// checking a handler of theirs so that a number reused after a restart is not taken.
#pragma once
#include <cstdint>

#include "jwin/J_window.h"

template <typename Proc>
JWindow* OwnWindow(uint32_t platformWindow, int slot, Proc handler) {
  JWindow* w = platformWindow ? JWindowFromPlatform(platformWindow) : nullptr;
  return w && w->slots[slot] == reinterpret_cast<JHandler>(handler) ? w : nullptr;
}
