#include "jindep/Ji_tidge.h"

#include <cstring>

#include "jindep/Ji_at_ar.h"
#include "jindep/Ji_tempm.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/Ji_tidge_swatch.h"
#include "jindep/box.h"
#include "jindep/debug.h"
#include "jindep/memory.h"
#include "jwin/J_gc.h"
#include "jwin/J_inval.h"
#include "jwin/widget_hooks.h"

namespace {

constexpr const char* kSource = "jindep/Ji_tidge";
constexpr int16_t kDefaultSide = 16;

void Forgot() { JDebugReport(kSource, __LINE__, "Forgot to set a widget's method!"); }

void DefaultConstruct(JWidget*) { Forgot(); }
void DefaultDestruct(JWidget*) { Forgot(); }
void DefaultSetGC(JWidget* w, JGC* gc) {
  w->gc = gc;
  JInvalidateWidget(w);
}
bool DefaultNaturalSize(JWidget*, int16_t*, int16_t*) { return false; }
bool DefaultHitTest(JWidget* w, int16_t x, int16_t y) {
  return x >= w->x && y >= w->y && x < w->x + w->width && y < w->y + w->height;
}
bool DefaultKey(JWidget*, JKeyEvent*) { return false; }
void DefaultMouseMove(JWidget*, int16_t, int16_t) {}
void DefaultMouseButton(JWidget*, int16_t, int16_t, uint8_t) {}
void DefaultPointer(JWidget*) {}
void DefaultNotify(JWidget*, uint32_t, uintptr_t) {}
void DefaultSetSize(JWidget* w, int16_t width, int16_t height) {
  JInvalidateWidget(w);
  w->width = width == 0 ? kDefaultSide : width;
  w->height = height == 0 ? kDefaultSide : height;
  JInvalidateWidget(w);
}
void DefaultMove(JWidget* w, int16_t x, int16_t y) {
  JInvalidateWidget(w);
  w->x = x;
  w->y = y;
  JInvalidateWidget(w);
}
void DefaultDraw(JWidget*) {}
void DefaultShowHide(JWidget*, bool) {}
void DefaultActivation(JWidget*) {}
void DefaultChild(JWidget*, JWidget*) { Forgot(); }
void DefaultChildSize(JWidget*, JWidget*, int16_t, int16_t) { Forgot(); }
void DefaultControl(JWidget*) { Forgot(); }
void DefaultControlUpdate(JWidget*) {}

void AddToWindow(JWindow* window, JWidget* w) {
  window->widgets = static_cast<JWidget**>(
      JRealloc(window->widgets, sizeof(JWidget*) * static_cast<size_t>(window->widgetCount + 1)));
  window->widgets[window->widgetCount++] = w;
}

void RemoveFromWindow(JWindow* window, JWidget* w) {
  for (int i = 0; i < window->widgetCount; ++i) {
    if (window->widgets[i] == w) {
      std::memmove(window->widgets + i, window->widgets + i + 1,
                   sizeof(JWidget*) * static_cast<size_t>(window->widgetCount - i - 1));
      --window->widgetCount;
      return;
    }
  }
}

bool Live(const JWidget* w) { return w && !(w->state & kJWidgetDisposing); }

}  // namespace

JWidgetClass* JNewWidgetClass() {
  JWidgetClass* c = static_cast<JWidgetClass*>(JAlloc(sizeof(JWidgetClass)));
  *c = JWidgetClass{DefaultConstruct, DefaultDestruct, DefaultSetGC, DefaultNaturalSize,
                    DefaultHitTest, DefaultKey, DefaultMouseMove, DefaultMouseButton,
                    DefaultMouseButton, DefaultPointer, DefaultPointer, DefaultNotify,
                    DefaultNotify, DefaultSetSize, DefaultMove, DefaultDraw,
                    DefaultShowHide, DefaultShowHide, DefaultActivation, DefaultActivation,
                    DefaultChild, DefaultChild, DefaultChildSize, DefaultChildSize,
                    DefaultControl, DefaultControl, DefaultControlUpdate, nullptr};
  return c;
}

void JDisposeWidgetClass(JWidgetClass* c) { JFree(c); }

JWidget* JNewWidget(const JWidgetClass* c, JWindow* window, JWidget* container, int16_t x, int16_t y) {
  JWidget* w = static_cast<JWidget*>(JAlloc(sizeof(JWidget)));
  std::memset(w, 0, sizeof(JWidget));
  w->window = window;
  w->container = container;
  w->widgetClass = c;
  w->gc = JDefaultGC();
  w->x = x;
  w->y = y;
  w->width = kDefaultSide;
  w->height = kDefaultSide;
  w->state = kJWidgetActive;
  if (!container && window) AddToWindow(window, w);
  c->construct(w);
  if (container) container->widgetClass->addChild(container, w);
  return w;
}

void JSizeWidget(JWidget* w, int16_t width, int16_t height) {
  if (!Live(w)) return;
  if (width == 0 && height == 0) {
    int16_t nw = 0, nh = 0;
    if (w->widgetClass->naturalSize(w, &nw, &nh)) {
      width = nw;
      height = nh;
    }
  }
  if (width < w->minWidth) width = w->minWidth;
  if (width == w->width && height == w->height) return;
  if (w->container)
    w->container->widgetClass->resizeChild(w->container, w, width, height);
  else
    w->widgetClass->setSize(w, width, height);
}

void JSetWidgetMinWidth(JWidget* w, int16_t width) {
  if (!Live(w)) return;
  w->minWidth = width < 0 ? 0 : width;
  if (w->width < w->minWidth) JSizeWidget(w, w->minWidth, w->height);
}

void JMoveWidget(JWidget* w, int16_t x, int16_t y) {
  if (!Live(w)) return;
  if (w->container)
    w->container->widgetClass->moveChild(w->container, w, x, y);
  else
    w->widgetClass->move(w, x, y);
}

void JShowWidget(JWidget* w) {
  if (!Live(w) || (w->state & kJWidgetVisible)) return;
  w->state |= kJWidgetVisible;
  w->widgetClass->show(w, true);
  JInvalidateWidget(w);
}

void JShowWidgetQuiet(JWidget* w) {
  if (!Live(w) || (w->state & kJWidgetVisible)) return;
  w->state |= kJWidgetVisible;
  w->widgetClass->show(w, false);
}

void JHideWidget(JWidget* w) {
  if (!Live(w) || !(w->state & kJWidgetVisible)) return;
  JInvalidateWidget(w);
  w->state &= static_cast<uint16_t>(~kJWidgetVisible);
  w->widgetClass->hide(w, true);
}

void JActivateWidget(JWidget* w, bool active) {
  if (!Live(w) || ((w->state & kJWidgetActive) != 0) == active) return;
  if (active) {
    w->state |= kJWidgetActive;
    w->widgetClass->activate(w);
  } else {
    w->state &= static_cast<uint16_t>(~kJWidgetActive);
    w->widgetClass->deactivate(w);
  }
}

void JSetWidgetGC(JWidget* w, JGC* gc) {
  if (Live(w)) w->widgetClass->setGC(w, gc);
}

void JInvalidateWidget(JWidget* w) {
  if (!w || !w->window || (w->window->state & kJWindowClosed)) return;
  w->invalid = JWidgetBounds(w);
  JInvalidateRect(w->window, w->invalid);
}

void JDisposeWidget(JWidget* w) {
  if (!w || (w->state & kJWidgetDisposing)) return;
  w->state |= kJWidgetDisposing;
  JInvalidateWidget(w);
  if (JWindow* window = w->window) {
    if (!w->container) RemoveFromWindow(window, w);
    if (window->focus == w) window->focus = nullptr;
    if (window->pointerWidget == w) window->pointerWidget = nullptr;
    if (window->pressedWidget == w) window->pressedWidget = nullptr;
  }
  if (w->container)
    w->container->widgetClass->removeChild(w->container, w);
  else
    w->widgetClass->destruct(w);
  // Freed at the end of the step: a handler disposing its own widget may still read it.
  JTempAdopt(w);
}

JRect JWidgetBounds(const JWidget* w) {
  return JRectMake(w->x, w->y, static_cast<int16_t>(w->x + w->width), static_cast<int16_t>(w->y + w->height));
}

bool JWidgetVisible(const JWidget* w) { return Live(w) && (w->state & kJWidgetVisible); }
bool JWidgetActive(const JWidget* w) { return Live(w) && (w->state & kJWidgetActive); }

JWidget* JWidgetAt(JWindow* window, int16_t x, int16_t y) {
  if (!window) return nullptr;
  for (int i = window->widgetCount - 1; i >= 0; --i) {
    JWidget* w = window->widgets[i];
    if ((w->state & kJWidgetVisible) && w->widgetClass->hitTest(w, x, y)) return w;
  }
  return nullptr;
}

void JSetFocus(JWindow* window, JWidget* w) {
  if (!window || window->focus == w) return;
  JWidget* old = window->focus;
  if (old) JInvalidateWidget(old);
  window->focus = Live(w) ? w : nullptr;
  if (window->focus) JInvalidateWidget(window->focus);
  // Told after the change, so that it may take the focus back (a field that refused its text).
  if (Live(old)) old->widgetClass->notify(old, kJNotifyFocusLost, 0);
}

JWidget* JFocus(const JWindow* window) { return window ? window->focus : nullptr; }

bool JWidgetTakesKeys(const JWidget* w) { return w && w->widgetClass->key != DefaultKey; }

namespace {

// The widgets that can take the focus, in order: a visible box's children in its place.
void Focusable(JWidget* w, JArray* out) {
  if (!(w->state & kJWidgetVisible) || !(w->state & kJWidgetActive)) return;
  if (JIsBox(w)) {
    for (uint32_t i = 0; i < JBoxChildCount(w); ++i) Focusable(JBoxChildAt(w, i), out);
  } else if (JWidgetTakesKeys(w)) {
    JArrayAppend(out, sizeof(JWidget*), &w);
  }
}

}  // namespace

bool JFocusNext(JWindow* window, bool backwards) {
  if (!window) return false;
  JArray all = {nullptr, 0};
  for (int i = 0; i < window->widgetCount; ++i) Focusable(window->widgets[i], &all);
  JWidget** list = static_cast<JWidget**>(all.block);
  const int n = static_cast<int>(all.count);
  int at = -1;
  for (int i = 0; i < n; ++i)
    if (list[i] == window->focus) at = i;
  if (n > 0) {
    const int from = at < 0 ? (backwards ? n : -1) : at;
    JSetFocus(window, list[((backwards ? from - 1 : from + 1) % n + n) % n]);
  }
  JArrayFree(&all);
  return n > 0;
}

void JPressWidget(JWidget* w, int16_t x, int16_t y, uint8_t modifiers) {
  if (!Live(w) || !(w->state & kJWidgetActive)) return;
  w->widgetClass->mouseDown(w, x, y, modifiers);
  if (Live(w) && w->window && w->window->focus != w && JWidgetTakesKeys(w)) JSetFocus(w->window, w);
}

bool JWidgetsMouseDown(JWindow* window, int16_t x, int16_t y, uint8_t modifiers) {
  JWidget* w = JWidgetAt(window, x, y);
  if (!w) return false;
  // An inactive widget takes the press and does nothing with it.
  if (!(w->state & kJWidgetActive)) return true;
  window->pressedWidget = w;
  JPressWidget(w, x, y, modifiers);
  return true;
}

bool JWidgetsMouseMove(JWindow* window, int16_t x, int16_t y) {
  JWidget* w = window->pressedWidget ? window->pressedWidget : JWidgetAt(window, x, y);
  if (!w) return false;
  w->widgetClass->mouseMove(w, x, y);
  return true;
}

bool JWidgetsMouseUp(JWindow* window, int16_t x, int16_t y, uint8_t modifiers) {
  JWidget* w = window->pressedWidget;
  if (!w) return false;
  window->pressedWidget = nullptr;
  w->widgetClass->mouseUp(w, x, y, modifiers);
  return true;
}

bool JWidgetsKey(JWindow* window, JKeyEvent* key) {
  JWidget* w = window ? window->focus : nullptr;
  if (!Live(w) || !(w->state & kJWidgetVisible) || !(w->state & kJWidgetActive)) return false;
  return w->widgetClass->key(w, key);
}

void JWidgetsPointerAt(JWindow* window, JWidget* under) {
  if (!window || window->pointerWidget == under) return;
  JWidget* old = window->pointerWidget;
  window->pointerWidget = under;
  if (Live(old)) old->widgetClass->pointerLeft(old);
  if (Live(under)) under->widgetClass->pointerEntered(under);
}

void JDrawWidgets(JWindow* window) {
  for (int i = 0; i < window->widgetCount; ++i) {
    JWidget* w = window->widgets[i];
    if (w->state & kJWidgetVisible) w->widgetClass->draw(w);
  }
}

void JDisposeWindowWidgets(JWindow* window) {
  while (window->widgetCount > 0) JDisposeWidget(window->widgets[window->widgetCount - 1]);
  window->focus = window->pointerWidget = window->pressedWidget = nullptr;
}

void JWidgetsInstall() {
  static const JWidgetHooks kWidgets = {JDrawWidgets,     JWidgetsMouseDown,  JWidgetsMouseMove, JWidgetsMouseUp,
                                        JWidgetsKey,      JFocusNext,         JWidgetAt,         JWidgetsPointerAt,
                                        JDisposeWindowWidgets, JFocusedTextField, JEndFieldEdit, JFieldHasSelection,
                                        JFieldCut,        JFieldCopy,         JFieldPaste,       JSwatchDisplayChanged};
  JSetWidgetHooks(&kWidgets);
}
