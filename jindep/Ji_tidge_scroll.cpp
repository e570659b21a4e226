// Scroll bars: arrows at both ends move by a line, the track by a page, the thumb by
// dragging. Every scroll message is logged and mapped to one of four actions.
#include "jindep/Ji_prinf.h"
#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/debug.h"
#include "jindep/memory.h"
#include "jwin/J_sched.h"
#include "jwin/J_window.h"

namespace {

// The platform's scroll message numbers, as the log shows them.
constexpr uint32_t kHorizontalMessage = 0x114;
constexpr uint32_t kVerticalMessage = 0x115;
constexpr int16_t kThickness = 16;
// Holding an arrow or the track repeats its step: first after a pause, then steadily.
constexpr int32_t kRepeatDelay = 400;
constexpr int32_t kRepeatPeriod = 50;

struct ScrollData {
  bool vertical;
  int32_t value;
  int32_t maximum;
  JScrollAction actions[4];
  bool dragging;
  int grab;  // pointer offset into the thumb while dragging
  int16_t repeatCode;     // the step being repeated while the button is held
  JScheduled* repeat;     // its timed call, cleared by the scheduler when it runs
};

ScrollData* Data(JWidget* w) { return static_cast<ScrollData*>(w->classData); }

int Length(const JWidget* w, const ScrollData* d) { return d->vertical ? w->height : w->width; }
int Along(const ScrollData* d, int x, int y) { return d->vertical ? y : x; }

// The thumb's start along the bar, between the two arrows.
int ThumbStart(const JWidget* w, const ScrollData* d) {
  const int room = Length(w, d) - 3 * kThickness;
  if (room <= 0 || d->maximum <= 0) return kThickness;
  return kThickness + static_cast<int>(static_cast<int64_t>(room) * d->value / d->maximum);
}

void ScrollConstruct(JWidget* w) {
  ScrollData* d = static_cast<ScrollData*>(JAlloc(sizeof(ScrollData)));
  *d = {};
  w->classData = d;
}

void ScrollDestruct(JWidget* w) {
  JCancelSchedule(Data(w)->repeat);
  JFree(w->classData);
  w->classData = nullptr;
}

void Arrow(int l, int t, bool vertical, bool forward) {
  tidge::Fill(l, t, l + kThickness, t + kThickness, tidge::kFace);
  tidge::Bevel(l, t, l + kThickness, t + kThickness, true);
  // A small triangle of four rows pointing the way the arrow scrolls.
  for (int i = 0; i < 4; ++i) {
    const int row = forward ? 9 - i : 6 + i;
    if (vertical)
      tidge::Fill(l + 8 - i, t + row, l + 8 + i + 1, t + row + 1, tidge::kInk);
    else
      tidge::Fill(l + row, t + 8 - i, l + row + 1, t + 8 + i + 1, tidge::kInk);
  }
}

void ScrollDraw(JWidget* w) {
  const ScrollData* d = Data(w);
  const int l = w->x, t = w->y, r = w->x + w->width, b = w->y + w->height;
  tidge::Begin(w);
  tidge::Fill(l, t, r, b, 0xE8E8E8);
  Arrow(l, t, d->vertical, false);
  if (d->vertical)
    Arrow(l, b - kThickness, true, true);
  else
    Arrow(r - kThickness, t, false, true);
  if ((w->state & kJWidgetActive) && d->maximum > 0 && Length(w, d) >= 3 * kThickness) {
    const int s = ThumbStart(w, d);
    if (d->vertical) {
      tidge::Fill(l, t + s, r, t + s + kThickness, tidge::kFace);
      tidge::Bevel(l, t + s, r, t + s + kThickness, true);
    } else {
      tidge::Fill(l + s, t, l + s + kThickness, b, tidge::kFace);
      tidge::Bevel(l + s, t, l + s + kThickness, b, true);
    }
  }
  tidge::End();
}

uint32_t MessageOf(const ScrollData* d) { return d->vertical ? kVerticalMessage : kHorizontalMessage; }

// The thumb position a pointer offset along the bar stands for.
int32_t PositionAt(const JWidget* w, const ScrollData* d, int along) {
  const int room = Length(w, d) - 3 * kThickness;
  if (room <= 0 || d->maximum <= 0) return 0;
  const int64_t p = static_cast<int64_t>(along - kThickness) * d->maximum / room;
  return static_cast<int32_t>(p < 0 ? 0 : p > d->maximum ? d->maximum : p);
}

// The scroll code of a point on the bar: an arrow, the track on either side of the
// thumb, or the thumb itself (kJScrollCodeThumbTrack); -1 off the bar.
int16_t CodeAt(JWidget* w, int x, int y) {
  ScrollData* d = Data(w);
  if (x < w->x || y < w->y || x >= w->x + w->width || y >= w->y + w->height) return -1;
  const int along = Along(d, x - w->x, y - w->y);
  const int thumb = ThumbStart(w, d);
  if (along < kThickness) return kJScrollCodeLineUp;
  if (along >= Length(w, d) - kThickness) return kJScrollCodeLineDown;
  if (d->maximum > 0 && along >= thumb && along < thumb + kThickness) return kJScrollCodeThumbTrack;
  return along < thumb ? kJScrollCodePageUp : kJScrollCodePageDown;
}

void Repeat(void* data) {
  JWidget* w = static_cast<JWidget*>(data);
  ScrollData* d = Data(w);
  // Only while the pointer stays on the part that was pressed.
  int16_t x = 0, y = 0;
  JGetWindowPointer(w->window, &x, &y);
  if (CodeAt(w, x, y) == d->repeatCode) JScrollBarMessage(w, MessageOf(d), d->repeatCode, d->value);
  if (!(w->state & kJWidgetDisposing)) JSchedule(Repeat, w, kRepeatPeriod, &d->repeat);
}

void ScrollDown(JWidget* w, int16_t x, int16_t y, uint8_t) {
  ScrollData* d = Data(w);
  const int16_t code = CodeAt(w, x, y);
  if (code < 0) return;
  if (code == kJScrollCodeThumbTrack) {
    d->dragging = true;
    d->grab = Along(d, x - w->x, y - w->y) - ThumbStart(w, d);
    return;
  }
  d->repeatCode = code;
  JCancelSchedule(d->repeat);
  JSchedule(Repeat, w, kRepeatDelay, &d->repeat);
  JScrollBarMessage(w, MessageOf(d), code, d->value);
}

void ScrollMove(JWidget* w, int16_t x, int16_t y) {
  ScrollData* d = Data(w);
  if (!d->dragging) return;
  const int32_t p = PositionAt(w, d, Along(d, x - w->x, y - w->y) - d->grab);
  if (p != d->value) JScrollBarMessage(w, MessageOf(d), kJScrollCodeThumbTrack, p);
}

void ScrollUp(JWidget* w, int16_t x, int16_t y, uint8_t) {
  ScrollData* d = Data(w);
  JCancelSchedule(d->repeat);
  if (!d->dragging) return;
  d->dragging = false;
  JScrollBarMessage(w, MessageOf(d), kJScrollCodeThumbPosition,
                    PositionAt(w, d, Along(d, x - w->x, y - w->y) - d->grab));
}

const JWidgetClass* ScrollClass() {
  static JWidgetClass* c = [] {
    JWidgetClass* k = JNewWidgetClass();
    k->construct = ScrollConstruct;
    k->destruct = ScrollDestruct;
    k->draw = ScrollDraw;
    k->mouseDown = ScrollDown;
    k->mouseMove = ScrollMove;
    k->mouseUp = ScrollUp;
    return k;
  }();
  return c;
}

bool IsBar(const JWidget* w) { return w && w->widgetClass == ScrollClass(); }

void LogScroll(uint32_t message, int16_t code) {
  char* text = JFormatNew("Scroll mess %dl% %ds%", static_cast<int>(message), static_cast<int>(code));
  JDebugText(text);
  JFree(text);
}

}  // namespace

JWidget* JNewScrollBar(JWindow* window, JWidget* container, int16_t x, int16_t y, int16_t length, bool vertical) {
  JWidget* w = JNewWidget(ScrollClass(), window, container, x, y);
  Data(w)->vertical = vertical;
  JSizeWidget(w, vertical ? kThickness : length, vertical ? length : kThickness);
  return w;
}

int16_t JScrollBarThickness() { return kThickness; }

void JSetScrollAction(JWidget* bar, int16_t action, JScrollAction proc) {
  if (IsBar(bar) && action >= 0 && action < 4) Data(bar)->actions[action] = proc;
}

void JSetScrollMaximum(JWidget* bar, int32_t maximum) {
  if (!IsBar(bar)) return;
  ScrollData* d = Data(bar);
  d->maximum = maximum < 0 ? 0 : maximum;
  if (d->value > d->maximum) d->value = d->maximum;
  JInvalidateWidget(bar);
}

void JSetScrollValue(JWidget* bar, int32_t value) {
  if (!IsBar(bar)) return;
  ScrollData* d = Data(bar);
  const int32_t v = value < 0 ? 0 : value > d->maximum ? d->maximum : value;
  if (v == d->value) return;
  d->value = v;
  JInvalidateWidget(bar);
}

int32_t JScrollValue(const JWidget* bar) { return IsBar(bar) ? static_cast<const ScrollData*>(bar->classData)->value : 0; }
int32_t JScrollMaximum(const JWidget* bar) {
  return IsBar(bar) ? static_cast<const ScrollData*>(bar->classData)->maximum : 0;
}

void JScrollActionOf(int16_t code, int32_t thumb, int16_t* action, int32_t* amount) {
  switch (code) {
    case kJScrollCodeLineUp: *action = kJScrollLine, *amount = -1; return;
    case kJScrollCodeLineDown: *action = kJScrollLine, *amount = 1; return;
    case kJScrollCodePageUp: *action = kJScrollPage, *amount = -1; return;
    case kJScrollCodePageDown: *action = kJScrollPage, *amount = 1; return;
    case kJScrollCodeTop: *action = kJScrollEnd, *amount = -1; return;
    case kJScrollCodeBottom: *action = kJScrollEnd, *amount = 1; return;
    case kJScrollCodeThumbPosition:
    case kJScrollCodeThumbTrack: *action = kJScrollTo, *amount = thumb; return;
    default: *action = kJScrollNone, *amount = 0; return;
  }
}

void JScrollBarMessage(JWidget* bar, uint32_t message, int16_t code, int32_t thumb) {
  LogScroll(message, code);
  if (!IsBar(bar) || !JWidgetActive(bar)) return;
  int16_t action;
  int32_t amount;
  JScrollActionOf(code, thumb, &action, &amount);
  if (action < kJScrollNone && Data(bar)->actions[action]) Data(bar)->actions[action](bar, action, amount);
}

void JWindowScrollMessage(JWindow* window, bool vertical, uint32_t message, int16_t code, int32_t thumb) {
  LogScroll(message, code);
  if (!window || (window->state & kJWindowClosed)) return;
  int16_t action;
  int32_t amount;
  JScrollActionOf(code, thumb, &action, &amount);
  if (action == kJScrollNone) return;
  JWindowScrollProc proc = vertical ? window->vScroll[action] : window->hScroll[action];
  if (proc) proc(window, action, amount);
}
