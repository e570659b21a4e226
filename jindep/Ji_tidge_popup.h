// Popup buttons: a widget that shows the selected one of a list of items with a small
// downward triangle at its right. A press opens the whole list over the button with the
// selected item under the pointer; the user drags to an item and releases to choose it.
// With the focus, Up and Down (and Home and End) choose the previous or next item at once.
// While the list is open, Up and Down move the highlight, Return chooses it and Escape
// closes the list without choosing.
//
// Items are opaque to the widget: a table of item procedures makes, measures, draws,
// reads, tests and frees them. The default procedures make text items from C strings.
#pragma once
#include <cstdint>

#include "jindep/Ji_tidge.h"
#include "jwin/J_rect.h"

struct JPopupItemProcs {
  void (*measure)(JWidget* popup, void* item, int16_t* width, int16_t* height);
  // Draws into the current area, inside `area`; highlighted items in inverted colours.
  void (*draw)(JWidget* popup, void* item, JRect area, bool highlighted);
  void* (*make)(const void* source);
  const void* (*value)(void* item);
  void (*free)(void* item);
  bool (*enabled)(void* item);  // whether the item can be chosen
};

typedef void (*JPopupChangeProc)(JWidget* popup, uint16_t index);

enum : uint16_t { kJPopupLeft = 0, kJPopupCentred = 1, kJPopupRight = 2 };

// A popup button without items, at its natural size.
JWidget* JNewPopup(JWindow* window, JWidget* container, int16_t x, int16_t y);
bool JIsPopup(const JWidget* w);
// Frees the old items, makes one item per source value, measures them, selects item 0 and
// takes the natural size again.
void JSetPopupItems(JWidget* popup, uint16_t count, const void* const* sources);
uint16_t JPopupItemCount(const JWidget* popup);
// Indices past the items are ignored. Does not call the change procedure.
void JSetPopupSelection(JWidget* popup, uint16_t index);
uint16_t JPopupSelection(const JWidget* popup);
// Null for an index out of range.
const void* JPopupItemValue(const JWidget* popup, uint16_t index);
const void* JPopupSelectedValue(const JWidget* popup);
// Called when the user chooses another item (not by JSetPopupSelection).
void JSetPopupOnChange(JWidget* popup, JPopupChangeProc proc);
void JSetPopupAlignment(JWidget* popup, uint16_t alignment);
void JSetPopupShadow(JWidget* popup, bool shadow);
// Whether the open list marks the selected item with a tick (else a small triangle).
void JSetPopupCheckMark(JWidget* popup, bool checkMark);
// Replaces the item procedures; set them before the items.
void JSetPopupItemProcs(JWidget* popup, const JPopupItemProcs* procs);

// The list open now (one for the program), for tests and the window layer.
JWindow* JOpenPopupList();
// The screen rectangle of item `index` of the open list as shown (empty when hidden).
JRect JPopupListItemRect(uint16_t index);
