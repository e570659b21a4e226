// The open list of a popup button: one for the program, open while the mouse button that
// opened it is held. The press belongs to the button's window, so the pointer and the
// release reach the button, which hands them here in its window's coordinates.
#include "jindep/Ji_tidge_arming.h"
#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_popup_state.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"
#include "jwin/J_inval.h"
#include "jwin/J_sched.h"
#include "jwin/J_window.h"

namespace {

constexpr uint16_t kZoneTop = 65533;
constexpr uint16_t kZoneBottom = 65534;
constexpr uint16_t kNothing = 65535;
constexpr int16_t kZone = 12;

struct OpenList {
  JWindow* window;
  JWidget* widget;
  uint16_t current;    // the item (or zone) under the pointer
  uint16_t candidate;  // the item a release would choose
  int16_t* tops;       // item tops in the list, unscrolled
  int16_t width;
  int16_t visible;  // content height of the window
  bool scrolls;
  int16_t scroll;  // pixels of the list above the window
  int16_t depth;   // how far the pointer is into a zone
  JScheduled* scrollCall;
  JArming arming;
};

OpenList list = {};

PopupButton* Button() { return PopupOf(list.widget); }
int16_t ItemsTop() { return list.scrolls ? kZone : 0; }
int16_t MaxScroll() {
  const int m = Button()->listHeight - (list.visible - 2 * ItemsTop());
  return static_cast<int16_t>(m > 0 ? m : 0);
}
int ItemY(uint16_t i) { return ItemsTop() + list.tops[i] - list.scroll; }
int ItemBottom(uint16_t i) { return ItemY(i) + Button()->itemHeights[i]; }

void Invalidate() { JInvalidateRect(list.window, JRectMake(0, 0, list.width, list.visible)); }

void DrawMark(const PopupButton* p, int y, int h) {
  const int mid = y + h / 2;
  if (p->checkMark) {
    const int x = 4, s = p->tickWidth > 3 ? p->tickWidth : 4;
    for (int d = 0; d < 2; ++d) {
      tidge::Line(x, mid + d, x + s / 3, mid + s / 3 + d, tidge::kInk);
      tidge::Line(x + s / 3, mid + s / 3 + d, x + s, mid - (2 * s) / 3 + d, tidge::kInk);
    }
  } else {
    for (int i = 0; i < 4; ++i) tidge::Fill(4, mid - 3 + i, 5 + i, mid + 4 - i, tidge::kInk);
  }
}

void DrawList(JWindow*) {
  if (!list.widget) return;
  const PopupButton* p = Button();
  tidge::Begin(list.widget);
  tidge::Fill(0, 0, list.width, list.visible, tidge::kField);
  for (uint16_t i = 0; i < p->itemCount; ++i) {
    const int y = ItemY(i), h = p->itemHeights[i];
    if (y + h < 0 || y > list.visible) continue;
    const bool lit = i == list.candidate && list.arming.armed;
    if (lit) tidge::Fill(0, y, list.width, y + h, tidge::kSelection);
    if (!lit && i == p->selected) DrawMark(p, y, h);
    p->procs.draw(list.widget, p->items[i],
                  JRectMake(static_cast<int16_t>(p->tickSpace + 6), static_cast<int16_t>(y),
                            static_cast<int16_t>(list.width - 4), static_cast<int16_t>(y + h)),
                  lit);
    tidge::Begin(list.widget);
  }
  if (list.scrolls) {
    // The zones cover the items that scroll under them; a zone at its end shows no triangle.
    tidge::Fill(0, 0, list.width, kZone, tidge::kField);
    tidge::Fill(0, list.visible - kZone, list.width, list.visible, tidge::kField);
    const int left = list.width / 2 - (kZone / 12 + 2);
    if (list.scroll > 0) PopupTriangle(left, kZone / 2, kZone, true, tidge::kInk);
    if (list.scroll < MaxScroll()) PopupTriangle(left, list.visible - kZone / 2, kZone, false, tidge::kInk);
  }
  tidge::End();
}

uint16_t ItemAt(int16_t y) {
  if (list.scrolls && y < kZone) return kZoneTop;
  if (list.scrolls && y >= list.visible - kZone) return kZoneBottom;
  for (uint16_t i = 0; i < Button()->itemCount; ++i)
    if (y >= ItemY(i) && y < ItemBottom(i)) return i;
  return kNothing;
}

void ScrollStep(void*);

void ScheduleScroll() {
  JCancelSchedule(list.scrollCall);
  list.scrollCall = nullptr;
  if (list.current != kZoneTop && list.current != kZoneBottom) return;
  JSchedule(ScrollStep, nullptr, 600 / (list.depth + 2), &list.scrollCall);
}

// Scrolls by the hidden part of the next item in the zone's direction, or to the end.
void ScrollStep(void*) {
  if (!list.widget) return;
  const PopupButton* p = Button();
  int16_t target = list.scroll;
  if (list.current == kZoneTop) {
    target = 0;
    for (uint16_t i = p->itemCount; i-- > 0;)
      if (ItemY(i) < kZone) {
        target = static_cast<int16_t>(list.tops[i]);
        break;
      }
  } else if (list.current == kZoneBottom) {
    target = MaxScroll();
    for (uint16_t i = 0; i < p->itemCount; ++i)
      if (ItemBottom(i) > list.visible - kZone) {
        target = static_cast<int16_t>(list.tops[i] + p->itemHeights[i] - (list.visible - 2 * kZone));
        break;
      }
  }
  if (target > MaxScroll()) target = MaxScroll();
  if (target < 0) target = 0;
  if (target == list.scroll) return;  // the zone's end: scrolling stops
  list.scroll = target;
  Invalidate();
  ScheduleScroll();
}

void Track(int16_t x, int16_t y) {
  const bool across = x >= 0 && x < list.width;
  const uint16_t at = across || y < 0 || y >= list.visible ? ItemAt(y) : kNothing;
  if (at == kZoneTop) list.depth = static_cast<int16_t>(kZone - y);
  if (at == kZoneBottom) list.depth = static_cast<int16_t>(y - (list.visible - kZone) + 1);
  if (at != list.current) {
    list.current = at;
    ScheduleScroll();
  }
  const bool wasArmed = list.arming.armed;
  if (!JArmingMove(&list.arming, at)) return;
  // Only an item that can be chosen is lit; elsewhere nothing is.
  const PopupButton* p = Button();
  const uint16_t lit = at < p->itemCount && p->procs.enabled(p->items[at]) ? at : kNothing;
  if (lit != list.candidate || !wasArmed) {
    list.candidate = lit;
    Invalidate();
  }
}

}  // namespace

void PopupListOpen(JWidget* w) {
  PopupButton* p = PopupOf(w);
  list = {};
  list.widget = w;
  list.tops = static_cast<int16_t*>(JAlloc(sizeof(int16_t) * (p->itemCount + 1u)));
  int16_t y = 1;
  for (uint16_t i = 0; i < p->itemCount; ++i) {
    list.tops[i] = y;
    y = static_cast<int16_t>(y + p->itemHeights[i] + 1);
  }
  const int wide = p->widest + p->arrowWidth + p->tickSpace + 10;
  list.width = static_cast<int16_t>(w->width - 3 > wide ? w->width - 3 : wide);
  const JRect main = JMainWindowContent();
  const int room = main.bottom - main.top - 8;
  list.scrolls = p->listHeight > room;
  list.visible = list.scrolls ? static_cast<int16_t>(room) : p->listHeight;
  list.window = JNewWindow(nullptr, "", kJWindowPopupAbove);
  if (!list.window) {
    JFree(list.tops);
    list = {};
    return;
  }
  JSetHandler(list.window, kJSlotDraw, DrawList);
  JSizeWindow(list.window, list.width, list.visible);
  int16_t left = static_cast<int16_t>(w->x + 1), top = w->y;
  JWindowToScreen(w->window, &left, &top);
  if (list.scrolls) {
    list.scroll = static_cast<int16_t>(list.tops[p->selected] - (list.visible - 2 * kZone) / 2);
    if (list.scroll > MaxScroll()) list.scroll = MaxScroll();
    if (list.scroll < 0) list.scroll = 0;
    top = static_cast<int16_t>(main.top + 2);
  } else {
    top = static_cast<int16_t>(top + 2 - list.tops[p->selected]);
  }
  JPlaceWindowContent(list.window, left, top);
  int16_t placedLeft = 0, placedTop = 0;
  JWindowToScreen(list.window, &placedLeft, &placedTop);
  // Where the window system put the list elsewhere, the pointer follows, so that it stays
  // over the selected item (a scrolling list puts it on the item's middle).
  int16_t px = 0, py = 0;
  JGetPointer(&px, &py);
  if (list.scrolls) {
    py = static_cast<int16_t>(placedTop - main.top + ItemY(p->selected) + p->itemHeights[p->selected] / 2);
    px = static_cast<int16_t>(px + placedLeft - left);
  } else {
    px = static_cast<int16_t>(px + placedLeft - left);
    py = static_cast<int16_t>(py + placedTop - top);
  }
  if (placedLeft != left || placedTop != top || list.scrolls) JSetPointer(px, py);
  list.current = list.candidate = p->selected;
  JArmingReset(&list.arming, p->selected);
  JShowWindow(list.window);
}

bool PopupListIsOpenFor(const JWidget* w) { return w && list.widget == w; }

void PopupListPointer(JWidget*, int16_t x, int16_t y) {
  JWindowToWindow(list.widget->window, list.window, &x, &y);
  Track(x, y);
}

void PopupListRelease(JWidget* w, int16_t, int16_t, uint8_t modifiers) {
  if (modifiers & (kJModCtrl | kJModAlt)) return;
  const uint16_t chosen = list.arming.armed ? list.candidate : kNothing;
  PopupListClose();
  if (chosen != kNothing) PopupChoose(w, chosen);
}

bool PopupListKey(JWidget* w, uint8_t character) {
  const PopupButton* p = Button();
  uint16_t next = list.candidate;
  switch (character) {
    case kJCharEscape: PopupListClose(); return true;
    case kJCharReturn: {
      const uint16_t chosen = list.candidate;
      PopupListClose();
      PopupChoose(w, chosen);
      return true;
    }
    case kJCharUp:
      if (next >= p->itemCount) next = p->itemCount;
      while (next > 0 && !p->procs.enabled(p->items[--next])) {}
      break;
    case kJCharDown:
      if (next >= p->itemCount) next = 0xFFFF;  // from before the first item
      while (static_cast<uint16_t>(next + 1) < p->itemCount && !p->procs.enabled(p->items[++next])) {}
      break;
    default: return true;  // the open list holds every key
  }
  if (next < p->itemCount && p->procs.enabled(p->items[next])) list.candidate = next;
  list.arming.armed = true;
  Invalidate();
  return true;
}

void PopupListClose() {
  if (!list.widget) return;
  JCancelSchedule(list.scrollCall);
  JDisposeWindow(list.window);
  JFree(list.tops);
  JInvalidateWidget(list.widget);
  list = {};
}

JWindow* JOpenPopupList() { return list.window; }

JRect JPopupListItemRect(uint16_t index) {
  if (!list.widget || index >= Button()->itemCount) return JRectMake(0, 0, 0, 0);
  int16_t left = 0, top = static_cast<int16_t>(ItemY(index));
  JWindowToScreen(list.window, &left, &top);
  return JRectMake(left, top, static_cast<int16_t>(left + list.width), static_cast<int16_t>(top + Button()->itemHeights[index]));
}
