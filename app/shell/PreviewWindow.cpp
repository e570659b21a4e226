#include "app/shell/PreviewWindow.h"

#include "app/colour/Transparency.h"
#include "app/document/Document.h"
#include "app/graphs/ControlsPanel.h"
#include "app/shell/Documents.h"
#include "jindep/Ji_prinf.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_draw.h"
#include "jwin/J_inval.h"
#include "jwin/J_window.h"

namespace {

enum : int16_t { kCursorArrow = 1, kCursorCross = 2 };

Document* DocumentOf(const JWindow* window) {
  Document* d = window ? static_cast<Document*>(window->data) : nullptr;
  return d && !d->closing ? d : nullptr;
}

int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }
int16_t AtLeastOne(int32_t v) { return static_cast<int16_t>(v < 1 ? 1 : v > 32767 ? 32767 : v); }

PreviewView ViewOf(const Document* d) {
  int16_t w = 0, h = 0;
  JGetWindowContentSize(d->window, &w, &h);
  return PreviewViewFor(w, h, d->width, d->height, JScrollBarThickness());
}

void FillBackground(const Document* d, int16_t left, int16_t top, int16_t right, int16_t bottom) {
  if (right <= left || bottom <= top) return;
  const JColour c = {d->backgroundColour.red, d->backgroundColour.green, d->backgroundColour.blue};
  JSetForeColour(&c);
  JFillRect(left, top, right, bottom);
}

void Paint(JWindow* window) {
  const Document* d = DocumentOf(window);
  if (!d || !d->pictureMap) return;
  const PreviewView view = ViewOf(d);
  const int16_t visibleWidth = static_cast<int16_t>(Min(view.width, d->width));
  const int16_t visibleHeight = static_cast<int16_t>(Min(view.height, d->height));
  const JRect source = JRectMake(static_cast<int16_t>(d->scrollX), static_cast<int16_t>(d->scrollY),
                                 static_cast<int16_t>(d->scrollX + visibleWidth),
                                 static_cast<int16_t>(d->scrollY + visibleHeight));
  const JRect dest = JRectMake(static_cast<int16_t>(d->centreX), static_cast<int16_t>(d->centreY),
                               static_cast<int16_t>(d->centreX + visibleWidth),
                               static_cast<int16_t>(d->centreY + visibleHeight));
  // Everything around the picture, the corner between the bars included (the bars
  // draw over their own parts afterwards).
  int16_t contentWidth = 0, contentHeight = 0;
  JGetWindowContentSize(window, &contentWidth, &contentHeight);
  // A context of its own: the colours set here must not reach other drawing.
  JGC* gc = JNewGC();
  JSetGC(gc);
  FillBackground(d, 0, 0, contentWidth, dest.top);
  FillBackground(d, 0, dest.bottom, contentWidth, contentHeight);
  FillBackground(d, 0, dest.top, dest.left, dest.bottom);
  FillBackground(d, dest.right, dest.top, contentWidth, dest.bottom);
  if (d->colourCount == 0) {
    FillBackground(d, dest.left, dest.top, dest.right, dest.bottom);
  } else {
    JCopyBits(d->pictureMap, source, dest, kJCopyPlain);
    if (d->transparencyOn && d->transparencyOverlay) {
      // Through the overlay (1 opaque, 0 transparent): clear the transparent pixels to
      // black, then paint the background colour into exactly those.
      const JColour black = {0, 0, 0}, white = {65535, 65535, 65535};
      const JColour background = {d->backgroundColour.red, d->backgroundColour.green, d->backgroundColour.blue};
      JSetForeColour(&black);
      JSetBackColour(&white);
      JCopyBits(d->transparencyOverlay, source, dest, kJCopyAnd);
      JSetForeColour(&background);
      JSetBackColour(&black);
      JCopyBits(d->transparencyOverlay, source, dest, kJCopyOr);
    }
  }
  JSetGC(JDefaultGC());
  JDisposeGC(gc);
}

void Resized(JWindow* window) {
  if (Document* d = DocumentOf(window)) LayoutPreview(d);
}

// The bar's new value becomes the scroll position; the picture is drawn again.
void Scroll(JWidget* bar, int32_t value) {
  Document* d = DocumentOf(bar->window);
  if (!d) return;
  const int32_t before = JScrollValue(bar);
  JSetScrollValue(bar, value);
  if (JScrollValue(bar) == before) return;
  if (bar == d->horizontalBar) {
    d->scrollX = static_cast<uint16_t>(JScrollValue(bar));
  } else {
    d->scrollY = static_cast<uint16_t>(JScrollValue(bar));
  }
  RedrawPreview(d);
}

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v); }

void ScrollByLine(JWidget* bar, int16_t, int32_t amount) { Scroll(bar, Clamp32(int64_t{JScrollValue(bar)} + amount)); }
void ScrollByPage(JWidget* bar, int16_t, int32_t amount) {
  Scroll(bar, Clamp32(int64_t{JScrollValue(bar)} + 50 * int64_t{amount}));
}
void ScrollToEnd(JWidget* bar, int16_t, int32_t amount) {
  Scroll(bar, Clamp32(int64_t{JScrollValue(bar)} + 4096 * int64_t{amount}));
}
void ScrollTo(JWidget* bar, int16_t, int32_t amount) { Scroll(bar, amount); }

JWidget* NewBar(JWindow* window, bool vertical) {
  JWidget* bar = JNewScrollBar(window, nullptr, 0, 0, 48, vertical);
  JSetScrollAction(bar, kJScrollLine, ScrollByLine);
  JSetScrollAction(bar, kJScrollPage, ScrollByPage);
  JSetScrollAction(bar, kJScrollEnd, ScrollToEnd);
  JSetScrollAction(bar, kJScrollTo, ScrollTo);
  return bar;
}

// After a change of marks the controls show the colours left; the colours are mapped again
// when the mapping no longer holds or the number of colours was brought within them.
void ShowMarks(Document* d, TransparencyChange change, uint32_t countBefore) {
  const bool remap = change == kTransparencyRemap || d->colourCount != countBefore;
  UpdateControls(d, remap ? kControlsColoursChanged : kControlsPreviewKept);
  if (!remap) RedrawPreview(d);
}

void MouseDown(JWindow* window, int16_t x, int16_t y, uint8_t) {
  Document* d = DocumentOf(window);
  if (!d) return;
  const PreviewView view = ViewOf(d);
  if (x < 0 || y < 0 || x >= view.width || y >= view.height) return;
  const int32_t px = x - d->centreX + d->scrollX;
  const int32_t py = y - d->centreY + d->scrollY;
  if (px < 0 || py < 0 || px >= d->width || py >= d->height) return;
  const uint32_t count = d->colourCount;
  ShowMarks(d, PictureClick(d, px, py), count);
}

void KeyDown(JWindow* window, JKeyEvent* key) {
  Document* d = DocumentOf(window);
  if (!d) return;
  int16_t x = 0, y = 0;
  JGetPointer(&x, &y);
  switch (key->character) {
    case kJCharBackspace:
    case kJCharDelete: {
      const TransparentList& list = d->transparentList;
      if (list.count > 0) {
        const uint32_t count = d->colourCount;
        ShowMarks(d, UnmarkTransparent(d, list.indices[list.count - 1], list.count - 1), count);
      }
      break;
    }
    // The arrows move the pointer by one pixel, for picking a single pixel.
    case kJCharLeft: --x; break;
    case kJCharRight: ++x; break;
    case kJCharUp: --y; break;
    case kJCharDown: ++y; break;
    default: break;
  }
  JSetPointer(x, y);
}

void PointerEntered(JWindow*) { JSetCursor(kCursorCross); }
void PointerLeft(JWindow*) { JSetCursor(kCursorArrow); }

void Activated(JWindow* window) {
  if (Document* d = DocumentOf(window)) BindActiveDocument(d);
}
void Deactivated(JWindow* window) {
  if (DocumentOf(window)) BindActiveDocument(nullptr);
}

void Closing(JWindow* window) {
  if (Document* d = DocumentOf(window)) CloseDocument(d);
  JSetCursor(kCursorArrow);
}

// One axis of the layout: the bar, the scroll position and the centring offset.
// Answers whether the whole window must be painted again.
bool LayoutAxis(JWidget* bar, bool barShown, int16_t view, int16_t picture, uint16_t* scroll, uint16_t* centre) {
  if (view >= picture) {
    JSetScrollMaximum(bar, 0);
    JSetScrollValue(bar, 0);
    *scroll = 0;
  } else {
    JSetScrollMaximum(bar, picture - view);
    *scroll = static_cast<uint16_t>(JScrollValue(bar));
  }
  if (barShown) {
    JShowWidget(bar);
  } else {
    JHideWidget(bar);
  }
  if (view > picture) {
    *scroll = 0;
    *centre = static_cast<uint16_t>((view - picture) / 2);
    return true;
  }
  if (*centre != 0) {
    *centre = 0;
    return true;
  }
  return false;
}

}  // namespace

PreviewView PreviewViewFor(int32_t contentWidth, int32_t contentHeight, int32_t pictureWidth, int32_t pictureHeight,
                           int32_t t) {
  bool horizontal = pictureWidth > contentWidth;
  bool vertical = pictureHeight > contentHeight;
  // One bar takes room from the other direction, which may then need its bar too.
  if (horizontal && !vertical) vertical = pictureHeight > contentHeight - t;
  if (vertical && !horizontal) horizontal = pictureWidth > contentWidth - t;
  PreviewView v;
  v.horizontalBar = horizontal;
  v.verticalBar = vertical;
  const int32_t w = contentWidth - (vertical ? t : 0), h = contentHeight - (horizontal ? t : 0);
  v.width = static_cast<int16_t>(w < 0 ? 0 : w);
  v.height = static_cast<int16_t>(h < 0 ? 0 : h);
  return v;
}

void PreviewWindowSize(int32_t pictureWidth, int32_t pictureHeight, int32_t areaWidth, int32_t areaHeight,
                       int16_t* width, int16_t* height) {
  *width = AtLeastOne(Min(Min(pictureWidth + 20, areaWidth), areaWidth - 200));
  *height = AtLeastOne(Min(pictureHeight + 20, areaHeight));
}

void LayoutPreview(Document* d) {
  JWindow* window = d->window;
  if (!window || !d->horizontalBar || !d->verticalBar) return;
  int16_t contentWidth = 0, contentHeight = 0;
  JGetWindowContentSize(window, &contentWidth, &contentHeight);
  const PreviewView view = ViewOf(d);
  const int16_t t = JScrollBarThickness();
  JMoveWidget(d->horizontalBar, 0, static_cast<int16_t>(contentHeight - t));
  JSizeWidget(d->horizontalBar, AtLeastOne(view.width), t);
  JMoveWidget(d->verticalBar, static_cast<int16_t>(contentWidth - t), 0);
  JSizeWidget(d->verticalBar, t, AtLeastOne(view.height));
  const uint16_t scrollX = d->scrollX, scrollY = d->scrollY;
  bool repaint = LayoutAxis(d->horizontalBar, view.horizontalBar, view.width, d->width, &d->scrollX, &d->centreX);
  repaint |= LayoutAxis(d->verticalBar, view.verticalBar, view.height, d->height, &d->scrollY, &d->centreY);
  if (repaint || scrollX != d->scrollX || scrollY != d->scrollY) RedrawPreview(d);
}

void RedrawPreview(Document* d) {
  if (!d || !d->window) return;
  JInvalidateRect(d->window, JRectMake(0, 0, 32767, 32767));
}

void OpenPreview(Document* d) {
  char* title = JFormatNew(JStr(kStrPreviewTitle), d->name);
  JWindow* window = JNewWindow(nullptr, title, kJWindowSizable);
  JFree(title);
  if (!window) return;
  // A new window's content is half the document area, which gives the area's size.
  int16_t halfWidth = 0, halfHeight = 0;
  JGetWindowContentSize(window, &halfWidth, &halfHeight);
  int16_t width = 1, height = 1;
  PreviewWindowSize(d->width, d->height, 2 * halfWidth, 2 * halfHeight, &width, &height);
  window->data = d;
  d->window = window;
  JSetHandler(window, kJSlotDraw, Paint);
  JSetHandler(window, kJSlotResized, Resized);
  JSetHandler(window, kJSlotClosing, Closing);
  JSetHandler(window, kJSlotPointerEntered, PointerEntered);
  JSetHandler(window, kJSlotPointerLeft, PointerLeft);
  JSetHandler(window, kJSlotKeyDown, KeyDown);
  JSetHandler(window, kJSlotMouseDown, MouseDown);
  JSetHandler(window, kJSlotActivated, Activated);
  JSetHandler(window, kJSlotDeactivated, Deactivated);
  d->horizontalBar = NewBar(window, false);
  d->verticalBar = NewBar(window, true);
  JSizeWindow(window, width, height);
  LayoutPreview(d);
  JMoveWindow(window, 5, 5);
  JShowAndActivateWindow(window);
}
