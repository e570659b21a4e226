// The record of a popup button, shared by the button (Ji_tidge_popup.cpp) and its open
// list (Ji_tidge_popup_list.cpp).
#pragma once
#include <cstdint>

#include "jindep/Ji_tidge_popup.h"

struct PopupButton {
  uint16_t itemCount;
  void** items;
  int16_t* itemWidths;
  int16_t* itemHeights;
  int16_t widest;
  int16_t tallest;
  int16_t listHeight;  // 1, plus every item's height plus 1
  int16_t arrowWidth;
  int16_t tickWidth;
  int16_t tickSpace;
  uint16_t selected;
  uint16_t alignment;
  bool shadow;
  bool checkMark;
  JPopupItemProcs procs;
  JPopupChangeProc onChange;
  int16_t drawWidth;
  int16_t drawHeight;
};

PopupButton* PopupOf(const JWidget* w);
// The small triangle of the button and of the list's scroll zones: `t` = area height / 12 + 2,
// 2t pixels across from `left`, pointing down (or up) from around `middle`.
void PopupTriangle(int left, int middle, int areaHeight, bool up, uint32_t colour);
// Selects `index` and tells the owner, when it differs and the item can be chosen.
void PopupChoose(JWidget* w, uint16_t index);

// The open list.
void PopupListOpen(JWidget* w);
bool PopupListIsOpenFor(const JWidget* w);
// Pointer and release in the button window's local coordinates.
void PopupListPointer(JWidget* w, int16_t x, int16_t y);
void PopupListRelease(JWidget* w, int16_t x, int16_t y, uint8_t modifiers);
bool PopupListKey(JWidget* w, uint8_t character);
void PopupListClose();
