// Alert windows: layout, the icon and message widgets, buttons and keys.
#include "jwin/J_alert.h"

#include <cstring>

#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"
#include "jwin/J_event.h"
#include "jwin/J_gc.h"
#include "jwin/J_text.h"
#include "jwin/desktop_view.h"

namespace {

constexpr int16_t kIconSide = 32;
constexpr int16_t kMinMessageHeight = 36;

// Owned by the alert's icon widget: freed with the window's widgets, however it goes.
struct AlertRecord {
  JWindow* window;
  JWidget* first;
  JWidget* second;
  JAlertProc proc;
  void* data;
  int16_t iconId;
  bool* answer;  // the modal caller's answer, or null
};

int16_t Max(int a, int b) { return static_cast<int16_t>(a > b ? a : b); }

JRect At(int x, int y, int w, int h) {
  return JRectMake(static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<int16_t>(x + w),
                   static_cast<int16_t>(y + h));
}

AlertRecord* RecordOf(JWidget* w) { return reinterpret_cast<AlertRecord*>(w->word1); }

// --- icon: a round badge with a letter ------------------------------------------------------

void IconConstruct(JWidget*) {}

void IconDestruct(JWidget* w) {
  JFree(w->classData);
  w->classData = nullptr;
}

bool IconNaturalSize(JWidget*, int16_t* width, int16_t* height) {
  *width = *height = kIconSide;
  return true;
}

void IconDraw(JWidget* w) {
  const AlertRecord* r = static_cast<AlertRecord*>(w->classData);
  const bool warning = r && (r->iconId == kJIconWarning || r->iconId == kJIconDepthWarning);
  tidge::Begin(w);
  const uint32_t badge = warning ? 0xE0B000 : 0x2050C0;
  // A disc drawn row by row, so that it needs nothing beyond filled rectangles.
  const int side = w->width < w->height ? w->width : w->height;
  const int radius = side / 2;
  for (int dy = -radius; dy < radius; ++dy) {
    int half = 0;
    while (4 * (half + 1) * (half + 1) + (2 * dy + 1) * (2 * dy + 1) <= 4 * radius * radius) ++half;
    tidge::Fill(w->x + radius - half, w->y + radius + dy, w->x + radius + half, w->y + radius + dy + 1, badge);
  }
  tidge::TextCentred(w->x, w->y, w->x + side, w->y + side, warning ? "!" : "i", tidge::kLight);
  tidge::End();
}

const JWidgetClass* IconClass() {
  static JWidgetClass* c = [] {
    JWidgetClass* k = JNewWidgetClass();
    k->construct = IconConstruct;
    k->destruct = IconDestruct;
    k->naturalSize = IconNaturalSize;
    k->draw = IconDraw;
    return k;
  }();
  return c;
}

// --- message: lines of text -----------------------------------------------------------------

void MessageConstruct(JWidget* w) { w->classData = JStrDup(""); }

void MessageDestruct(JWidget* w) {
  JFree(w->classData);
  w->classData = nullptr;
}

// Lines longer than this are broken at blanks, as a message box does, so a long message
// never runs off the screen.
constexpr int kMessageWrapWidth = 420;

int32_t TextWidth(const char* s, int32_t n) {
  JTextSizeRecord size;
  JTextSizeLength(s, n, &size);
  return size.width;
}

// The length of the first line of a paragraph of n characters: all of it when it fits,
// else up to the last blank that fits (or the first blank, for a word wider than a line).
int32_t FittingLength(const char* p, int32_t n) {
  if (TextWidth(p, n) <= kMessageWrapWidth) return n;
  int32_t fit = 0;
  for (int32_t i = 1; i < n; ++i) {
    if (p[i] != ' ') continue;
    if (fit > 0 && TextWidth(p, i) > kMessageWrapWidth) break;
    fit = i;
  }
  return fit > 0 ? fit : n;
}

// Calls `line` for each line of the text (split at '\n' and wrapped; '\r' is dropped)
// with its top.
template <typename Line>
void EachLine(const char* text, Line line) {
  JTextSizeRecord size;
  JTextSize("Ag", &size);
  const int lineHeight = size.ascent + size.descent;
  int top = 0;
  const char* p = text;
  for (;;) {
    const char* end = p;
    while (*end && *end != '\n') ++end;
    int32_t n = static_cast<int32_t>(end - p);
    while (n > 0 && p[n - 1] == '\r') --n;
    const char* piece = p;
    do {
      const int32_t k = FittingLength(piece, n);
      line(piece, k, top, lineHeight);
      top += lineHeight;
      int32_t skip = k;
      while (skip < n && piece[skip] == ' ') ++skip;
      piece += skip;
      n -= skip;
    } while (n > 0);
    if (!*end) break;
    p = end + 1;
    while (*p == '\r') ++p;
  }
}

bool MessageNaturalSize(JWidget* w, int16_t* width, int16_t* height) {
  tidge::Begin(w);
  int maxWidth = 0, bottom = 0;
  EachLine(static_cast<const char*>(w->classData), [&](const char* s, int32_t n, int top, int h) {
    JTextSizeRecord size;
    JTextSizeLength(s, n, &size);
    if (size.width > maxWidth) maxWidth = size.width;
    bottom = top + h;
  });
  tidge::End();
  *width = static_cast<int16_t>(maxWidth);
  *height = static_cast<int16_t>(bottom);
  return true;
}

void MessageDraw(JWidget* w) {
  tidge::Begin(w);
  tidge::Fill(w->x, w->y, w->x + w->width, w->y + w->height, tidge::kFace);
  JColour ink = {0, 0, 0};
  JSetForeColour(&ink);
  EachLine(static_cast<const char*>(w->classData), [&](const char* s, int32_t n, int top, int) {
    JTextSizeRecord size;
    JTextSizeLength(s, n, &size);
    JDrawTextLength(w->x, static_cast<int16_t>(w->y + top + size.ascent), s, n);
  });
  tidge::End();
}

const JWidgetClass* MessageClass() {
  static JWidgetClass* c = [] {
    JWidgetClass* k = JNewWidgetClass();
    k->construct = MessageConstruct;
    k->destruct = MessageDestruct;
    k->naturalSize = MessageNaturalSize;
    k->draw = MessageDraw;
    return k;
  }();
  return c;
}

// --- the alert window ---------------------------------------------------------------------

void AlertDraw(JWindow* window) {
  int16_t w = 0, h = 0;
  JGetWindowContentSize(window, &w, &h);
  JSetGC(JDefaultGC());
  tidge::Fill(0, 0, w, h, tidge::kFace);
  tidge::End();
}

// Disposing the window frees the record with the icon, so everything needed after it is
// taken out first.
void Choose(AlertRecord* r, bool first) {
  const JAlertProc proc = r->proc;
  void* data = r->data;
  if (r->answer) *r->answer = first;
  JDisposeWindow(r->window);
  if (proc) proc(data, first);
}

void ButtonPressed(JWidget* button) {
  AlertRecord* r = RecordOf(button);
  if (r && !(r->window->state & kJWindowClosed)) Choose(r, button == r->first);
}

AlertRecord* RecordOfWindow(JWindow* window) {
  return window && window->widgetCount > 0 && window->widgets[0]->widgetClass == IconClass()
             ? static_cast<AlertRecord*>(window->widgets[0]->classData)
             : nullptr;
}

void AlertKey(JWindow* window, JKeyEvent* key) {
  AlertRecord* r = RecordOfWindow(window);
  if (!r) return;
  if (key->character == kJCharReturn) {
    JPressButton(r->first);
  } else if (key->character == kJCharEscape && r->second) {
    JPressButton(r->second);
  }
}

JWidget* NewButton(JWindow* window, const char* title, AlertRecord* r) {
  JWidget* b = JNewButton(window, nullptr, 0, 0, title ? title : "");
  b->word1 = reinterpret_cast<uintptr_t>(r);
  JSetButtonAction(b, ButtonPressed);
  JSizeWidget(b, 0, 0);
  return b;
}

void Place(JWidget* w, const JRect& r) {
  JMoveWidget(w, r.left, r.top);
  JSizeWidget(w, static_cast<int16_t>(r.right - r.left), static_cast<int16_t>(r.bottom - r.top));
  JShowWidget(w);
}

JWindow* MakeAlert(JWindow* parent, const char* title, int16_t iconId, const char* message, const char* first,
                   const char* second, JAlertProc proc, void* data, bool* answer) {
  JWindow* window = JNewWindow(parent, title ? title : "", kJWindowDialog);
  if (!window) return nullptr;
  AlertRecord* r = static_cast<AlertRecord*>(JAlloc(sizeof(AlertRecord)));
  *r = {window, nullptr, nullptr, proc, data, iconId, answer};
  JWidget* icon = JNewWidget(IconClass(), window, nullptr, 0, 0);
  icon->classData = r;
  JWidget* text = JNewWidget(MessageClass(), window, nullptr, 0, 0);
  JFree(text->classData);
  text->classData = JStrDup(message ? message : "");
  JSizeWidget(icon, 0, 0);
  JSizeWidget(text, 0, 0);
  r->first = NewButton(window, first, r);
  JSetButtonDefault(r->first, true);
  if (second) r->second = NewButton(window, second, r);

  JAlertLayout layout;
  JAlertComputeLayout(icon->width, icon->height, text->width, text->height, r->first->width, r->first->height,
                      r->second ? r->second->width : 0, r->second ? r->second->height : 0, &layout);
  Place(icon, layout.icon);
  Place(text, layout.message);
  Place(r->first, layout.first);
  if (r->second) Place(r->second, layout.second);
  JSetHandler(window, kJSlotDraw, AlertDraw);
  JSetHandler(window, kJSlotKeyDown, AlertKey);
  JSizeWindow(window, layout.width, layout.height);

  JCentreInDocumentArea(window);
  JShowAndActivateWindow(window);
  return window;
}

}  // namespace

void JAlertComputeLayout(int16_t iconWidth, int16_t iconHeight, int16_t messageWidth, int16_t messageHeight,
                         int16_t firstWidth, int16_t firstHeight, int16_t secondWidth, int16_t secondHeight,
                         JAlertLayout* out) {
  const bool two = secondWidth > 0;
  const int W = two ? Max(firstWidth + secondWidth + 24, messageWidth + 60) : Max(firstWidth, messageWidth) + 60;
  const int H = Max(messageHeight, kMinMessageHeight) + firstHeight + 8;
  out->width = static_cast<int16_t>(W);
  out->height = static_cast<int16_t>(H);
  out->message = At((W - 60 - messageWidth) / 2 + 50, 4, messageWidth, messageHeight);
  if (two) {
    out->icon = At(4, (H - firstHeight - iconHeight - 8) / 2, iconWidth, iconHeight);
    const int g = (W - firstWidth - secondWidth) / 3;
    out->second = At(g, H - 4 - (firstHeight + secondHeight) / 2, secondWidth, secondHeight);
    out->first = At(W - g - firstWidth, H - 4 - firstHeight, firstWidth, firstHeight);
  } else {
    out->icon = At(4, (H - iconHeight) / 3, iconWidth, iconHeight);
    out->first = At((W + 36 - firstWidth) / 2, H - 4 - firstHeight, firstWidth, firstHeight);
    out->second = JRectMake(0, 0, 0, 0);
  }
}

bool JAlert(JWindow* parent, int16_t iconId, const char* message, const char* first, const char* second) {
  bool answer = false;
  JWindow* window = MakeAlert(parent, nullptr, iconId, message, first, second, nullptr, nullptr, &answer);
  if (!window) return false;
  JModalLoop(window, true);
  return answer;
}

void JAlertTitled(const char* title, int16_t iconId, const char* message, const char* button) {
  JWindow* window = MakeAlert(nullptr, title, iconId, message, button, nullptr, nullptr, nullptr, nullptr);
  if (!window) return;
  JModalLoop(window, true);
}

JWindow* JAlertModeless(JWindow* parent, int16_t iconId, const char* message, const char* first,
                        const char* second, JAlertProc proc, void* data) {
  JWindow* window = MakeAlert(parent, nullptr, iconId, message, first, second, proc, data, nullptr);
  if (window) JProcessPendingPaint();
  return window;
}

JWindow* JAlertModelessTitled(JWindow* parent, const char* title, int16_t iconId, const char* message,
                              const char* first, const char* second, JAlertProc proc, void* data) {
  JWindow* window = MakeAlert(parent, title, iconId, message, first, second, proc, data, nullptr);
  if (window) JProcessPendingPaint();
  return window;
}

void JRunModal(JWindow* window) {
  JModalLoop(window, true);
}

JWindow* JNote(const char* message, const char* button) {
  return JAlertModeless(nullptr, kJIconNote, message, button, nullptr, nullptr, nullptr);
}

JWidget* JAlertButton(JWindow* alert, bool first) {
  AlertRecord* r = RecordOfWindow(alert);
  if (!r) return nullptr;
  return first ? r->first : r->second;
}

