#include "app/graphs/MagnifierWidget.h"

#include <algorithm>
#include <cstring>

#include "jindep/Ji_tidge.h"
#include "jindep/Ji_tidge_paint.h"
#include "jindep/memory.h"
#include "jwin/J_clock.h"
#include "jwin/J_draw.h"
#include "jwin/J_event.h"
#include "jwin/J_sched.h"
#include "jwin/desktop_view.h"
#include "jwin/pixel_map.h"

namespace {

constexpr int16_t kDefaultSide = 64;
constexpr int32_t kRefreshPeriod = 50;
constexpr int32_t kAnimationPeriod = 100;
constexpr int32_t kFirstAnimation = 50;
constexpr uint32_t kStillPeriod = 1000;  // a still pointer elsewhere is copied once a second
constexpr int16_t kDashCount = 4;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

MagnifierState* StateOf(JWidget* w) { return static_cast<MagnifierState*>(w->classData); }

JRect Moved(JRect r, int dx, int dy) {
  return JRectMake(static_cast<int16_t>(r.left + dx), static_cast<int16_t>(r.top + dy), static_cast<int16_t>(r.right + dx),
                   static_cast<int16_t>(r.bottom + dy));
}

JRect Intersection(JRect a, JRect b) {
  return JRectMake(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                   std::min(a.bottom, b.bottom));
}

bool IsEmpty(JRect r) { return r.right <= r.left || r.bottom <= r.top; }

bool Contains(JRect outer, JRect inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

JRect PictureBounds(const MagnifierState* s) { return JRectMake(0, 0, s->pictureWidth, s->pictureHeight); }

// The geometry, the target and, when the source size changed, a new off-screen picture.
// The picture is 32-bit whatever the display: it then holds any screen's pixels exactly.
void Layout(JWidget* w) {
  MagnifierState* s = StateOf(w);
  const MagnifierGeometry g = MagnifierGeometryFor(w->width, w->height, s->zoom);
  s->source = g.source;
  s->destination = g.destination;
  const int16_t width = static_cast<int16_t>(g.source.right - g.source.left);
  const int16_t height = static_cast<int16_t>(g.source.bottom - g.source.top);
  if (!s->picture || width != s->pictureWidth || height != s->pictureHeight) {
    JPixMapFree(s->picture);
    s->picture = width > 0 && height > 0 ? JPixMapNewDirect(width, height, 32) : nullptr;
    s->pictureWidth = width;
    s->pictureHeight = height;
  }
  const int16_t m = static_cast<int16_t>(std::min(w->width, w->height) / 2);
  s->dashLength = static_cast<int16_t>(m / 4);
  s->centreX = static_cast<int16_t>(w->x + w->width / 2 - 1);
  s->centreY = static_cast<int16_t>(w->y + w->height / 2 - 1);
  s->target = JRectMake(static_cast<int16_t>(w->x + (w->width - m) / 2), static_cast<int16_t>(w->y + (w->height - m) / 2),
                        static_cast<int16_t>(w->x + (w->width + m) / 2), static_cast<int16_t>(w->y + (w->height + m) / 2));
  s->polarity = true;
  s->lastX = kMagnifierForceRefresh;
}

// One piece of a dash, clipped to the target square.
void Span(const MagnifierState* s, int left, int top, int right, int bottom, uint32_t colour) {
  tidge::Fill(std::max<int>(left, s->target.left), std::max<int>(top, s->target.top),
              std::min<int>(right, s->target.right), std::min<int>(bottom, s->target.bottom), colour);
}

// One colour's dashes on the four arms, from the centre outward, marched by the phase.
void DrawDashSet(const MagnifierState* s, bool central, uint32_t colour) {
  const int d = s->dashLength, f = s->phase, cx = s->centreX, cy = s->centreY;
  int left = cx, right = cx, up = cy, down = cy, count = 1;
  if (central) {
    Span(s, cx - f, cy, cx + f, cy + 1, colour);
    Span(s, cx, cy - f, cx + 1, cy + f, colour);
    left -= d, right += d, up -= d, down += d;
    count = 2;
  }
  left -= f, right += f, up -= f, down += f;
  for (; count <= s->dashCount; count += 2) {
    Span(s, left - d, cy, left, cy + 1, colour);
    Span(s, right, cy, right + d, cy + 1, colour);
    Span(s, cx, up - d, cx + 1, up, colour);
    Span(s, cx, down, cx + 1, down + d, colour);
    left -= 2 * d, right += 2 * d, up -= 2 * d, down += 2 * d;
  }
}

// The crosshair covers its whole length inside the square, so it overwrites the last frame.
void DrawTarget(const MagnifierState* s) {
  if (JGetModifiers() & kJModCtrl) return;
  DrawDashSet(s, !s->polarity, kBlack);
  DrawDashSet(s, s->polarity, kWhite);
}

// Copies the source area around the pointer from the main window's surface; what lies
// outside the main window shows black.
void Capture(JWidget* w, MagnifierState* s, JRect source) {
  const JRect content = JMainWindowContent();
  const JRect area = JRectMake(0, 0, static_cast<int16_t>(content.right - content.left),
                               static_cast<int16_t>(content.bottom - content.top));
  JSetDrawBitmap(s->picture);
  tidge::Begin(w);
  if (Contains(area, source)) {
    JCopyBits(JScreenDrawArea(), source, PictureBounds(s), kJCopyPlain);
  } else {
    tidge::Fill(0, 0, s->pictureWidth, s->pictureHeight, kBlack);
    const JRect part = Intersection(area, source);
    if (!IsEmpty(part)) JCopyBits(JScreenDrawArea(), part, Moved(part, -source.left, -source.top), kJCopyPlain);
  }
  tidge::End();
}

void ShowPicture(JWidget* w, MagnifierState* s) {
  JSetDrawWindow(w->window);
  tidge::Begin(w);
  JCopyBits(s->picture, PictureBounds(s), Moved(s->destination, w->x, w->y), kJCopyPlain);
  DrawTarget(s);
  tidge::End();
}

bool PointerOverWidget(JWidget* w) {
  int16_t x, y, width, height;
  JGetWindowPointer(w->window, &x, &y);
  JGetWindowContentSize(w->window, &width, &height);
  const JRect shown = Intersection(JWidgetBounds(w), JRectMake(0, 0, width, height));
  return x >= shown.left && x < shown.right && y >= shown.top && y < shown.bottom;
}

void Refresh(void* data) {
  JWidget* w = static_cast<JWidget*>(data);
  MagnifierState* s = StateOf(w);
  JSchedule(Refresh, w, kRefreshPeriod, &s->refreshCall);
  if (!s->picture) return;
  int16_t x, y;
  JPointerInDocumentArea(&x, &y);
  const uint32_t now = JTickCount();
  if (x == s->lastX && y == s->lastY && now - s->lastTick < kStillPeriod && !PointerOverWidget(w)) return;
  s->lastTick = now;
  s->lastX = x;
  s->lastY = y;
  Capture(w, s, Moved(s->source, x, y));
  ShowPicture(w, s);
}

void Animate(void* data) {
  JWidget* w = static_cast<JWidget*>(data);
  MagnifierState* s = StateOf(w);
  JSchedule(Animate, w, kAnimationPeriod, &s->animationCall);
  if (!(JGetModifiers() & kJModShift)) {
    s->phase = static_cast<int16_t>(s->phase + 2);
    if (s->phase >= s->dashLength) {
      s->polarity = !s->polarity;
      s->phase = 1;
    }
  }
  JSetDrawWindow(w->window);
  tidge::Begin(w);
  DrawTarget(s);
  tidge::End();
}

void SetSize(JWidget* w, int16_t width, int16_t height) {
  JInvalidateWidget(w);
  w->width = width == 0 ? kDefaultSide : width;
  w->height = height == 0 ? kDefaultSide : height;
  Layout(w);
  JInvalidateWidget(w);
}

void Move(JWidget* w, int16_t x, int16_t y) {
  JInvalidateWidget(w);
  w->x = x;
  w->y = y;
  Layout(w);
  JInvalidateWidget(w);
}

void Construct(JWidget* w) {
  MagnifierState* s = static_cast<MagnifierState*>(JAlloc(sizeof(MagnifierState)));
  std::memset(s, 0, sizeof *s);
  s->zoom = 1;
  s->dashCount = kDashCount;
  w->classData = s;
  JSchedule(Refresh, w, kRefreshPeriod, &s->refreshCall);
  JSchedule(Animate, w, kFirstAnimation, &s->animationCall);
  SetSize(w, 0, 0);
}

void Destruct(JWidget* w) {
  MagnifierState* s = StateOf(w);
  JPixMapFree(s->picture);
  JCancelSchedule(s->refreshCall);
  JCancelSchedule(s->animationCall);
  JFree(s);
  w->classData = nullptr;
}

// White around a black frame one pixel outside the picture; the last view stays shown
// (rather than a white flash) until the forced refresh copies the screen again.
void Draw(JWidget* w) {
  MagnifierState* s = StateOf(w);
  const JRect d = Moved(s->destination, w->x, w->y);
  tidge::Begin(w);
  tidge::Fill(w->x, w->y, w->x + w->width, w->y + w->height, kWhite);
  tidge::Frame(d.left - 1, d.top - 1, d.right + 1, d.bottom + 1, kBlack);
  if (s->picture) JCopyBits(s->picture, PictureBounds(s), d, kJCopyPlain);
  DrawTarget(s);
  tidge::End();
  s->lastX = kMagnifierForceRefresh;
}

}  // namespace

const JWidgetClass* MagnifierClass() {
  static JWidgetClass* magnifier = nullptr;
  if (!magnifier) {
    magnifier = JNewWidgetClass();
    magnifier->construct = Construct;
    magnifier->destruct = Destruct;
    magnifier->setSize = SetSize;
    magnifier->move = Move;
    magnifier->draw = Draw;
  }
  return magnifier;
}

JWidget* NewMagnifier(JWindow* window, int16_t x, int16_t y) {
  return JNewWidget(MagnifierClass(), window, nullptr, x, y);
}

MagnifierState* MagnifierStateOf(JWidget* magnifier) {
  return magnifier && magnifier->widgetClass == MagnifierClass() ? StateOf(magnifier) : nullptr;
}

void SetMagnifierZoom(JWidget* magnifier, int16_t zoom) {
  MagnifierState* s = MagnifierStateOf(magnifier);
  if (!s) return;
  s->zoom = zoom;
  Layout(magnifier);
  JInvalidateWidget(magnifier);
}

int16_t MagnifierZoom(JWidget* magnifier) {
  const MagnifierState* s = MagnifierStateOf(magnifier);
  return s ? s->zoom : 0;
}

MagnifierGeometry MagnifierGeometryFor(int16_t width, int16_t height, int16_t zoom) {
  const int interiorW = std::max(0, width - 2), interiorH = std::max(0, height - 2);
  int left, top, right, bottom, drawnW, drawnH;
  if (zoom >= 1) {
    const int step = 2 * zoom;
    left = -(interiorW / step) + 1, top = -(interiorH / step) + 1;
    right = interiorW / step, bottom = interiorH / step;
    drawnW = (right - left) * zoom, drawnH = (bottom - top) * zoom;
  } else {
    // Zooms of 0 and -1 would show nothing; they shrink like -2.
    const int m = std::max(1, -zoom / 2);
    left = 1 - interiorW * m, top = 1 - interiorH * m, right = interiorW * m, bottom = interiorH * m;
    drawnW = (right - left) / (2 * m), drawnH = (bottom - top) / (2 * m);
  }
  const int x = 1 + (interiorW - drawnW) / 2, y = 1 + (interiorH - drawnH) / 2;
  MagnifierGeometry g;
  g.source = JRectMake(static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<int16_t>(right),
                       static_cast<int16_t>(bottom));
  g.destination = JRectMake(static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<int16_t>(x + drawnW),
                            static_cast<int16_t>(y + drawnH));
  return g;
}
