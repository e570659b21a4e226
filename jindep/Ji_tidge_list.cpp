// Lists: a bordered box of text rows, one of them selected, with a scroll bar of its
// own when the rows do not fit.
#include <cstring>

#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"
#include "jwin/J_clip.h"
#include "jwin/J_clock.h"
#include "jwin/J_text.h"
#include "jwin/J_window.h"

namespace {

constexpr int kBorder = 2;
constexpr int kTextPad = 3;
// Two presses on the same row this close together are a double click.
constexpr uint32_t kDoubleClickTicks = 500;
constexpr uint32_t kUnfocusedSelection = 0xC8C8C8;

struct ListData {
  char** rows;
  int count;
  int selected;  // -1: none
  int top;       // first row shown
  JWidget* bar;
  JListAction selectAction;
  JListAction activateAction;
  uint32_t lastClickTick;
  int lastClickRow;  // -1: no click to pair with
};

ListData* Data(JWidget* w) { return static_cast<ListData*>(w->classData); }
const ListData* Data(const JWidget* w) { return static_cast<const ListData*>(w->classData); }

int RowHeight(JWidget* w) {
  int16_t tw = 0, th = 0;
  tidge::TextSize(w, "Ag", &tw, &th);
  return th + 2;
}

// Whole rows that fit between the borders (at least one, so that keys always move).
int VisibleRows(JWidget* w) {
  const int n = (w->height - 2 * kBorder) / RowHeight(w);
  return n > 0 ? n : 1;
}

int MaxTop(JWidget* w) {
  const int m = Data(w)->count - VisibleRows(w);
  return m > 0 ? m : 0;
}

bool NeedsBar(JWidget* w) { return Data(w)->count > VisibleRows(w); }

// Keeps the first row in range and the scroll bar placed, sized and shown as needed.
void UpdateBar(JWidget* w) {
  ListData* d = Data(w);
  if (d->top > MaxTop(w)) d->top = MaxTop(w);
  if (d->top < 0) d->top = 0;
  if (!d->bar) return;
  if (NeedsBar(w) && JWidgetVisible(w)) {
    const int16_t thickness = JScrollBarThickness();
    JMoveWidget(d->bar, static_cast<int16_t>(w->x + w->width - kBorder - thickness), static_cast<int16_t>(w->y + kBorder));
    JSizeWidget(d->bar, thickness, static_cast<int16_t>(w->height - 2 * kBorder));
    JSetScrollMaximum(d->bar, MaxTop(w));
    JSetScrollValue(d->bar, d->top);
    JShowWidget(d->bar);
  } else {
    JHideWidget(d->bar);
  }
}

void ScrollTo(JWidget* w, int top) {
  ListData* d = Data(w);
  const int old = d->top;
  d->top = top;
  UpdateBar(w);
  if (d->top != old) JInvalidateWidget(w);
}

void RevealSelection(JWidget* w) {
  const ListData* d = Data(w);
  if (d->selected < 0) return;
  if (d->selected < d->top)
    ScrollTo(w, d->selected);
  else if (d->selected >= d->top + VisibleRows(w))
    ScrollTo(w, d->selected - VisibleRows(w) + 1);
}

void BarAction(JWidget* bar, int16_t action, int32_t amount) {
  JWidget* w = reinterpret_cast<JWidget*>(bar->word1);
  if (!w || !JWidgetVisible(w)) return;
  const int top = Data(w)->top;
  switch (action) {
    case kJScrollLine: ScrollTo(w, top + amount); break;
    case kJScrollPage: ScrollTo(w, top + amount * VisibleRows(w)); break;
    case kJScrollEnd: ScrollTo(w, amount < 0 ? 0 : MaxTop(w)); break;
    case kJScrollTo: ScrollTo(w, amount); break;
    default: break;
  }
}

void FreeRows(ListData* d) {
  for (int i = 0; i < d->count; ++i) JFree(d->rows[i]);
  JFree(d->rows);
  d->rows = nullptr;
  d->count = 0;
}

void ListConstruct(JWidget* w) {
  ListData* d = static_cast<ListData*>(JAlloc(sizeof(ListData)));
  *d = ListData{nullptr, 0, -1, 0, nullptr, nullptr, nullptr, 0, -1};
  w->classData = d;
  // Made after the list, so it lies above it for the pointer.
  d->bar = JNewScrollBar(w->window, nullptr, w->x, w->y, w->height, true);
  d->bar->word1 = reinterpret_cast<uintptr_t>(w);
  for (int16_t a = kJScrollLine; a <= kJScrollTo; ++a) JSetScrollAction(d->bar, a, BarAction);
}

void ListDestruct(JWidget* w) {
  ListData* d = Data(w);
  d->bar->word1 = 0;
  JDisposeWidget(d->bar);
  FreeRows(d);
  JFree(d);
  w->classData = nullptr;
}

void ListSetSize(JWidget* w, int16_t width, int16_t height) {
  JInvalidateWidget(w);
  w->width = width == 0 ? 16 : width;
  w->height = height == 0 ? 16 : height;
  JInvalidateWidget(w);
  UpdateBar(w);
}

void ListMove(JWidget* w, int16_t x, int16_t y) {
  JInvalidateWidget(w);
  w->x = x;
  w->y = y;
  JInvalidateWidget(w);
  UpdateBar(w);
}

void ListShow(JWidget* w, bool) { UpdateBar(w); }
void ListHide(JWidget* w, bool) { JHideWidget(Data(w)->bar); }
void ListActivate(JWidget* w) {
  JActivateWidget(Data(w)->bar, true);
  JInvalidateWidget(w);
}
void ListDeactivate(JWidget* w) {
  JActivateWidget(Data(w)->bar, false);
  JInvalidateWidget(w);
}

void ListDraw(JWidget* w) {
  const ListData* d = Data(w);
  const bool active = w->state & kJWidgetActive;
  const bool focused = JFocus(w->window) == w && active;
  const int l = w->x, t = w->y, r = w->x + w->width, b = w->y + w->height;
  tidge::Begin(w);
  tidge::Fill(l, t, r, b, active ? tidge::kField : tidge::kFace);
  tidge::Bevel(l, t, r, b, false);
  tidge::Fill(l + 1, t + 1, r - 1, t + 2, tidge::kDark);
  tidge::Fill(l + 1, t + 1, l + 2, b - 1, tidge::kDark);
  const int right = r - kBorder - (JWidgetVisible(d->bar) ? JScrollBarThickness() : 0);
  const int bottom = b - kBorder;
  JClipRecord* saved = JSaveClip();
  JSetClipRect(JRectMake(static_cast<int16_t>(l + kBorder), static_cast<int16_t>(t + kBorder),
                         static_cast<int16_t>(right), static_cast<int16_t>(bottom)));
  const int rh = RowHeight(w);
  for (int i = d->top, y = t + kBorder; i < d->count && y < bottom; ++i, y += rh) {
    uint32_t ink = active ? tidge::kInk : tidge::kGreyInk;
    if (i == d->selected) {
      tidge::Fill(l + kBorder, y, right, y + rh, focused ? tidge::kSelection : kUnfocusedSelection);
      if (focused) ink = tidge::kLight;
    }
    tidge::Text(l + kBorder + kTextPad, y + 1, d->rows[i], ink);
  }
  // With the focus but nothing selected, a thin frame shows where the keys go.
  if (focused && d->selected < 0) tidge::Frame(l + kBorder, t + kBorder, right, bottom, tidge::kSelection);
  JRestoreClip(saved);
  tidge::End();
}

// Selects a row for the user: the select action follows a change.
void UserSelect(JWidget* w, int index) {
  ListData* d = Data(w);
  if (d->count == 0) return;
  if (index < 0) index = 0;
  if (index >= d->count) index = d->count - 1;
  const bool changed = index != d->selected;
  d->selected = index;
  RevealSelection(w);
  if (!changed) return;
  JInvalidateWidget(w);
  if (d->selectAction) d->selectAction(w);
}

void ListDown(JWidget* w, int16_t x, int16_t y, uint8_t) {
  JSetFocus(w->window, w);
  const int row = JListRowAt(w, x, y);
  if (row < 0) return;
  ListData* d = Data(w);
  const uint32_t now = JTickCount();
  const bool twice = d->lastClickRow == row && now - d->lastClickTick <= kDoubleClickTicks;
  d->lastClickRow = twice ? -1 : row;
  d->lastClickTick = now;
  UserSelect(w, row);
  // The select action may have closed the window and with it this list.
  if (!twice || !JWidgetVisible(w)) return;
  if (JListAction activate = Data(w)->activateAction) activate(w);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The first character that names a row: "[name]" rows are named by their second.
char Initial(const char* row) { return Lower(row[0] == '[' ? row[1] : row[0]); }

bool ListKey(JWidget* w, JKeyEvent* key) {
  ListData* d = Data(w);
  const int page = VisibleRows(w);
  const int at = d->selected;
  switch (key->character) {
    case kJCharUp: UserSelect(w, at < 0 ? 0 : at - 1); return true;
    case kJCharDown: UserSelect(w, at + 1); return true;
    case kJCharHome: UserSelect(w, 0); return true;
    case kJCharEnd: UserSelect(w, d->count - 1); return true;
    case kJCharPageUp: UserSelect(w, at < 0 ? 0 : at - page); return true;
    case kJCharPageDown: UserSelect(w, at < 0 ? page - 1 : at + page); return true;
    case kJCharReturn:
      if (at < 0 || !d->activateAction) return false;
      d->activateAction(w);
      return true;
    default: break;
  }
  // A typed letter goes to the next row that starts with it.
  if (key->unicode > ' ' && key->unicode < 127 && !(key->modifiers & (kJModCommand | kJModCtrl | kJModAlt))) {
    const char c = Lower(static_cast<char>(key->unicode));
    for (int step = 1; step <= d->count; ++step) {
      const int i = ((at < 0 ? -1 : at) + step) % d->count;
      if (Initial(d->rows[i]) == c) {
        UserSelect(w, i);
        break;
      }
    }
    return true;
  }
  return false;
}

const JWidgetClass* ListClass() {
  static JWidgetClass* c = [] {
    JWidgetClass* k = JNewWidgetClass();
    k->construct = ListConstruct;
    k->destruct = ListDestruct;
    k->setSize = ListSetSize;
    k->move = ListMove;
    k->show = ListShow;
    k->hide = ListHide;
    k->activate = ListActivate;
    k->deactivate = ListDeactivate;
    k->draw = ListDraw;
    k->mouseDown = ListDown;
    k->key = ListKey;
    return k;
  }();
  return c;
}

bool IsList(const JWidget* w) { return w && w->widgetClass == ListClass() && w->classData; }

}  // namespace

JWidget* JNewList(JWindow* window, JWidget* container, int16_t x, int16_t y, int16_t width, int16_t height) {
  JWidget* w = JNewWidget(ListClass(), window, container, x, y);
  JSizeWidget(w, width, height);
  return w;
}

void JSetListRows(JWidget* list, const char* const* rows, int count) {
  if (!IsList(list)) return;
  ListData* d = Data(list);
  FreeRows(d);
  if (count > 0) {
    d->rows = static_cast<char**>(JAlloc(sizeof(char*) * static_cast<size_t>(count)));
    for (int i = 0; i < count; ++i) d->rows[i] = JStrDup(rows[i] ? rows[i] : "");
    d->count = count;
  }
  d->selected = -1;
  d->top = 0;
  d->lastClickRow = -1;
  UpdateBar(list);
  JInvalidateWidget(list);
}

int JListRowCount(const JWidget* list) { return IsList(list) ? Data(list)->count : 0; }

const char* JListRow(const JWidget* list, int index) {
  if (!IsList(list) || index < 0 || index >= Data(list)->count) return nullptr;
  return Data(list)->rows[index];
}

void JSetListSelection(JWidget* list, int index) {
  if (!IsList(list)) return;
  ListData* d = Data(list);
  if (index < 0 || index >= d->count) index = -1;
  if (index == d->selected) return;
  d->selected = index;
  RevealSelection(list);
  JInvalidateWidget(list);
}

int JListSelection(const JWidget* list) { return IsList(list) ? Data(list)->selected : -1; }

const char* JListSelectedRow(const JWidget* list) { return JListRow(list, JListSelection(list)); }

void JSetListSelectAction(JWidget* list, JListAction action) {
  if (IsList(list)) Data(list)->selectAction = action;
}

void JSetListActivateAction(JWidget* list, JListAction action) {
  if (IsList(list)) Data(list)->activateAction = action;
}

int JListTopRow(const JWidget* list) { return IsList(list) ? Data(list)->top : 0; }

int16_t JListRowHeight(const JWidget* list) {
  return IsList(list) ? static_cast<int16_t>(RowHeight(const_cast<JWidget*>(list))) : 0;
}

int16_t JListHeightForRows(const JWidget* list, int rows) {
  return static_cast<int16_t>(JListRowHeight(list) * rows + 2 * kBorder);
}

int JListRowAt(const JWidget* list, int16_t x, int16_t y) {
  if (!IsList(list)) return -1;
  JWidget* w = const_cast<JWidget*>(list);
  const ListData* d = Data(list);
  const int right = w->x + w->width - kBorder - (JWidgetVisible(d->bar) ? JScrollBarThickness() : 0);
  if (x < w->x + kBorder || x >= right || y < w->y + kBorder || y >= w->y + w->height - kBorder) return -1;
  const int row = d->top + (y - w->y - kBorder) / RowHeight(w);
  return row < d->count ? row : -1;
}
