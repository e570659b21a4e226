#include "jwin/J_window.h"

#include <cstring>

#include "jindep/debug.h"
#include "jindep/memory.h"
#include "jwin/J_platform.h"
#include "jwin/J_winproc.h"
#include "jwin/widget_hooks.h"
#include "platform/wm/Metrics.h"

using platform::Rect;
using platform::wm::WindowKind;
using platform::wm::WindowStyle;

namespace {

struct Listener {
  JWindowChangeProc proc;
  void* data;
};

// Every live record, and the disposed ones waiting to be freed.
JWindow** live = nullptr;
int liveCount = 0;
JWindow** disposed = nullptr;
int disposedCount = 0;
Listener* listeners = nullptr;
int listenerCount = 0;
uint32_t mainWindow = 0;
int cascade = 0;

void Append(JWindow*** array, int* count, JWindow* w) {
  *array = static_cast<JWindow**>(JRealloc(*array, sizeof(JWindow*) * static_cast<size_t>(*count + 1)));
  (*array)[(*count)++] = w;
}

// An emptied table is freed, so that what the windows take is given back whole once
// none is left (its room otherwise stays at the most windows ever open at once).
void Remove(JWindow*** array, int* count, JWindow* w) {
  for (int i = 0; i < *count; ++i) {
    if ((*array)[i] == w) {
      std::memmove(*array + i, *array + i + 1, sizeof(JWindow*) * static_cast<size_t>(*count - i - 1));
      if (--*count == 0) {
        JFree(*array);
        *array = nullptr;
      }
      return;
    }
  }
}

platform::wm::Window* PlatformOf(const JWindow* w) {
  if (!w || !JDesktopRunning()) return nullptr;
  return JWindowManager().window(w->platformWindow);
}

void StoreHandler(JWindow* window, int slot, JHandler proc) {
  if (!window || slot < 0 || slot >= kJSlotCount) {
    JDebugReport("jwin/J_window", __LINE__, "bad handler slot");
    return;
  }
  window->slots[slot] = proc;
}

// The slot of each procedure type; a mismatch is reported and the procedure stored anyway.
void CheckSlot(int slot, bool matches) {
  if (!matches) JDebugReport("jwin/J_window", __LINE__, "handler does not match its slot");
}

}  // namespace

bool JCreateMainWindow(const char* title, int kind) {
  platform::wm::WindowManager& wm = JWindowManager();
  WindowStyle s;
  // Kind 1 has neither a sizing border nor a maximize box.
  s.sizable = kind != 1;
  s.maximizeBox = kind != 1;
  s.minimizeBox = true;
  s.systemMenu = true;
  s.background = platform::wm::Palette::kWorkspace;
  s.minTrackWidth = 120;
  s.minTrackHeight = 80;
  const Rect screen = wm.screen().bounds();
  mainWindow = wm.createWindow(WindowKind::MainFrame, s, title ? title : "", screen);
  if (!mainWindow) return false;
  wm.window(mainWindow)->setUserData(nullptr);
  wm.show(mainWindow, true);
  return true;
}

uint32_t JMainPlatformWindow() { return mainWindow; }

JWindow* JNewWindow(JWindow* parent, const char* title, uint16_t kindFlags) {
  if (!JDesktopRunning()) return nullptr;
  platform::wm::WindowManager& wm = JWindowManager();
  JWindow* w = static_cast<JWindow*>(JAlloc(sizeof(JWindow)));
  std::memset(w, 0, sizeof(JWindow));
  w->title = JStrDup(title ? title : "");
  w->parent = parent;
  w->kindFlags = kindFlags;

  WindowStyle s;
  WindowKind kind;
  if (kindFlags & kJWindowFloating) {
    kind = WindowKind::Floating;
    s.topmost = true;
    s.systemMenu = s.closeBox = (kindFlags & kJWindowSystemMenu) != 0;
    s.minTrackWidth = s.minTrackHeight = 20;
  } else if (kindFlags & kJWindowPopupAbove) {
    kind = WindowKind::Popup;
    s.caption = s.closeBox = false;
    s.topmost = true;
    w->state |= kJWindowDialogStyle;
  } else if (kindFlags & kJWindowPopup) {
    kind = WindowKind::Popup;
    s.caption = s.closeBox = false;
  } else if (kindFlags & kJWindowDialog) {
    kind = WindowKind::Dialog;
    s.systemMenu = s.closeBox = (kindFlags & kJWindowSystemMenu) != 0;
    s.minTrackWidth = s.minTrackHeight = 40;
    w->state |= kJWindowDialogStyle;
  } else {
    kind = WindowKind::Document;
    s.systemMenu = s.closeBox = true;
    s.sizable = s.maximizeBox = (kindFlags & kJWindowSizable) != 0;
    s.minimizeBox = (kindFlags & kJWindowNoMinimize) == 0;
    s.minTrackWidth = s.minTrackHeight = 40;
  }

  // Half the parent's content; the main window's document area when there is no parent.
  int pw = 0, ph = 0;
  if (const platform::wm::Window* p = PlatformOf(parent)) {
    pw = p->backing().width();
    ph = p->backing().height();
  } else {
    const Rect area = wm.documentArea();
    pw = area.width();
    ph = area.height();
  }
  const int cw = pw / 2 > 0 ? pw / 2 : 1, ch = ph / 2 > 0 ? ph / 2 : 1;
  // The frame margins are the same for any size, so measure them on a scratch window.
  const Rect margins = platform::wm::Window(0, kind, s, "").frameAround({0, 0, 0, 0});
  const int extraW = margins.width(), extraH = margins.height();
  int left, top;
  if (kind == WindowKind::Document) {
    left = top = 20 * (cascade++ % 8);
  } else {
    const Rect area = wm.documentArea().empty() ? wm.screen().bounds() : wm.documentArea();
    left = area.left + (area.width() - cw - extraW) / 2;
    top = area.top + (area.height() - ch - extraH) / 2;
  }
  w->platformWindow = wm.createWindow(kind, s, w->title, {left, top, left + cw + extraW, top + ch + extraH});
  if (!w->platformWindow) {
    JFree(w->title);
    JFree(w);
    return nullptr;
  }
  wm.window(w->platformWindow)->setUserData(w);
  const Rect client = wm.screenClientRect(*wm.window(w->platformWindow));
  w->lastWidth = static_cast<int16_t>(client.width());
  w->lastHeight = static_cast<int16_t>(client.height());
  w->lastLeft = static_cast<int16_t>(client.left);
  w->lastTop = static_cast<int16_t>(client.top);
  Append(&live, &liveCount, w);
  return w;
}

void JSetHandler(JWindow* window, int slot, JWindowProc proc) {
  CheckSlot(slot, slot == kJSlotDraw || slot == kJSlotPressEnded || slot >= kJSlotClosing);
  StoreHandler(window, slot, reinterpret_cast<JHandler>(proc));
}
void JSetHandler(JWindow* window, int slot, JCloseQueryProc proc) {
  CheckSlot(slot, slot == kJSlotCloseQuery);
  StoreHandler(window, slot, reinterpret_cast<JHandler>(proc));
}
void JSetHandler(JWindow* window, int slot, JMouseProc proc) {
  CheckSlot(slot, slot == kJSlotMouseDown || slot == kJSlotMouseUp);
  StoreHandler(window, slot, reinterpret_cast<JHandler>(proc));
}
void JSetHandler(JWindow* window, int slot, JPointerProc proc) {
  CheckSlot(slot, slot == kJSlotMouseMove);
  StoreHandler(window, slot, reinterpret_cast<JHandler>(proc));
}
void JSetHandler(JWindow* window, int slot, JKeyProc proc) {
  CheckSlot(slot, slot == kJSlotKeyDown || slot == kJSlotKeyUp);
  StoreHandler(window, slot, reinterpret_cast<JHandler>(proc));
}

void JShowWindow(JWindow* window) {
  if (!window || (window->state & kJWindowClosed)) return;
  if (window->showCount++ == 0) JWindowManager().show(window->platformWindow, false);
}

void JShowAndActivateWindow(JWindow* window) {
  if (!window || (window->state & kJWindowClosed)) return;
  ++window->showCount;
  JWindowManager().show(window->platformWindow, true);
}

void JHideWindow(JWindow* window) {
  if (!window || (window->state & kJWindowClosed)) return;
  window->showCount = 0;
  JWindowManager().hide(window->platformWindow);
}

bool JWindowVisible(const JWindow* window) {
  const platform::wm::Window* p = PlatformOf(window);
  return p && p->visible();
}

void JRequestClose(JWindow* window) {
  if (!window || (window->state & kJWindowClosed)) return;
  JHoldWindow(window);
  const JCloseQueryProc query = reinterpret_cast<JCloseQueryProc>(window->slots[kJSlotCloseQuery]);
  if (!query || query(window)) {
    const JWindowProc closing = reinterpret_cast<JWindowProc>(window->slots[kJSlotClosing]);
    if (closing && !(window->state & kJWindowClosed)) closing(window);
    JDisposeWindow(window);
  }
  JReleaseWindow(window);
}

void JDisposeWindow(JWindow* window) {
  if (!window) {
    JAssertFail("jwin/J_window", __LINE__);
    return;
  }
  if (window->state & kJWindowClosed) return;
  JWidgetsOf().dispose(window);
  window->state |= kJWindowClosed;
  if (JDesktopRunning()) JWindowManager().destroyWindow(window->platformWindow);
  window->platformWindow = 0;
  Remove(&live, &liveCount, window);
  Append(&disposed, &disposedCount, window);
  JNotifyWindowChange(2);
}

void JHoldWindow(JWindow* window) {
  if (window) ++window->holds;
}

void JReleaseWindow(JWindow* window) {
  if (window) --window->holds;
}

void JReleaseDisposedWindows() {
  for (int i = 0; i < disposedCount;) {
    JWindow* w = disposed[i];
    if (w->holds > 0) {
      ++i;
      continue;
    }
    Remove(&disposed, &disposedCount, w);
    JFree(w->widgets);
    JFree(w->title);
    JFree(w);
  }
}

void JDisposeAllWindows() {
  while (liveCount > 0) JDisposeWindow(live[liveCount - 1]);
  for (int i = 0; i < disposedCount; ++i) disposed[i]->holds = 0;
  JReleaseDisposedWindows();
  JFree(live);
  JFree(disposed);
  live = disposed = nullptr;
  liveCount = disposedCount = 0;
  JFree(listeners);
  listeners = nullptr;
  listenerCount = 0;
  mainWindow = 0;
  cascade = 0;
}

void JSetWindowTitle(JWindow* window, const char* title) {
  if (!window || (window->state & kJWindowClosed)) return;
  JFree(window->title);
  window->title = JStrDup(title ? title : "");
  JWindowManager().setTitle(window->platformWindow, window->title);
}

void JSizeWindow(JWindow* window, int16_t width, int16_t height) {
  platform::wm::Window* p = PlatformOf(window);
  if (!p || width < 1 || height < 1) return;
  platform::wm::WindowManager& wm = JWindowManager();
  Rect client = p->clientRect().translated(p->frame().left, p->frame().top);
  client.right = client.left + width;
  client.bottom = client.top + height;
  wm.setClientRect(window->platformWindow, client);
}

void JMoveWindow(JWindow* window, int16_t left, int16_t top) {
  platform::wm::Window* p = PlatformOf(window);
  if (!p) return;
  const Rect f = p->frame();
  JWindowManager().setFrame(window->platformWindow, f.translated(left - f.left, top - f.top));
}

void JGetWindowContentSize(const JWindow* window, int16_t* width, int16_t* height) {
  const platform::wm::Window* p = PlatformOf(window);
  const Rect c = p ? p->clientRect() : Rect{};
  if (width) *width = static_cast<int16_t>(c.width());
  if (height) *height = static_cast<int16_t>(c.height());
}

void JSetWindowMinimumSize(JWindow* window, int16_t width, int16_t height) {
  platform::wm::Window* p = PlatformOf(window);
  if (!p) return;
  // The frame's margins around the content are the same at any size.
  const Rect margins = p->frameAround({0, 0, 0, 0});
  p->setMinimumTrackSize(width + margins.width(), height + margins.height());
}

JRect JGetWindowFrame(const JWindow* window) {
  const platform::wm::Window* p = PlatformOf(window);
  const Rect f = p ? p->frame() : Rect{};
  return JRectMake(static_cast<int16_t>(f.left), static_cast<int16_t>(f.top), static_cast<int16_t>(f.right),
                   static_cast<int16_t>(f.bottom));
}

void JSetWindowOrigin(JWindow* window, int16_t x, int16_t y) {
  if (!window) return;
  window->originX = x;
  window->originY = y;
}

void JSelectWindow(JWindow* window) {
  if (PlatformOf(window)) JWindowManager().activate(window->platformWindow);
}

void JGetWindowPointer(const JWindow* window, int16_t* x, int16_t* y) {
  int px = 0, py = 0;
  if (const platform::wm::Window* p = PlatformOf(window)) {
    const Rect c = JWindowManager().screenClientRect(*p);
    px = JWindowManager().pointer().x - c.left - window->originX;
    py = JWindowManager().pointer().y - c.top - window->originY;
  }
  if (x) *x = static_cast<int16_t>(px);
  if (y) *y = static_cast<int16_t>(py);
}

void JWindowToScreen(const JWindow* window, int16_t* x, int16_t* y) {
  const platform::wm::Window* p = PlatformOf(window);
  if (!p) return;
  const Rect c = JWindowManager().screenClientRect(*p);
  *x = static_cast<int16_t>(*x + c.left + window->originX);
  *y = static_cast<int16_t>(*y + c.top + window->originY);
}

void JWindowToWindow(const JWindow* from, const JWindow* to, int16_t* x, int16_t* y) {
  JWindowToScreen(from, x, y);
  int16_t left = 0, top = 0;
  JWindowToScreen(to, &left, &top);
  *x = static_cast<int16_t>(*x - left);
  *y = static_cast<int16_t>(*y - top);
}

void JPlaceWindowContent(JWindow* window, int16_t screenX, int16_t screenY) {
  platform::wm::Window* p = PlatformOf(window);
  if (!p) return;
  platform::wm::WindowManager& wm = JWindowManager();
  const Rect f = p->frame(), c = wm.screenClientRect(*p), screen = wm.screen().bounds();
  // Frame position for the wanted content position, then pulled back onto the screen.
  int left = f.left + screenX - c.left, top = f.top + screenY - c.top;
  if (left + f.width() > screen.right) left = screen.right - f.width();
  if (top + f.height() > screen.bottom) top = screen.bottom - f.height();
  if (left < screen.left) left = screen.left;
  if (top < screen.top) top = screen.top;
  wm.setFrame(window->platformWindow, f.translated(left - f.left, top - f.top));
}

JRect JMainWindowContent() {
  const Rect a = JDesktopRunning() ? JWindowManager().documentArea() : Rect{};
  return JRectMake(static_cast<int16_t>(a.left), static_cast<int16_t>(a.top), static_cast<int16_t>(a.right),
                   static_cast<int16_t>(a.bottom));
}

JWindow* JActiveWindow() {
  if (!JDesktopRunning()) return nullptr;
  const platform::wm::Window* p = JWindowManager().window(JWindowManager().activeWindow());
  return p ? static_cast<JWindow*>(p->userData()) : nullptr;
}

JWindow* JWindowFromPlatform(uint32_t platformWindow) {
  if (!JDesktopRunning()) return nullptr;
  const platform::wm::Window* p = JWindowManager().window(platformWindow);
  return p ? static_cast<JWindow*>(p->userData()) : nullptr;
}

void JGetMainWindowPlace(int16_t* left, int16_t* top, int16_t* width, int16_t* height) {
  const platform::wm::Window* p = JDesktopRunning() ? JWindowManager().window(mainWindow) : nullptr;
  const Rect f = p ? p->frame() : Rect{};
  if (left) *left = static_cast<int16_t>(f.left);
  if (top) *top = static_cast<int16_t>(f.top);
  if (width) *width = static_cast<int16_t>(f.width());
  if (height) *height = static_cast<int16_t>(f.height());
}

void JSetMainWindowPlace(int16_t left, int16_t top, int16_t width, int16_t height) {
  if (!JDesktopRunning() || width < 1 || height < 1) return;
  JWindowManager().setFrame(mainWindow, {left, top, left + width, top + height});
}

bool JMainWindowMinimized() {
  const platform::wm::Window* p = JDesktopRunning() ? JWindowManager().window(mainWindow) : nullptr;
  return p && p->state() == platform::wm::WindowState::Minimized;
}

void JAddWindowChangeListener(JWindowChangeProc proc, void* data) {
  listeners = static_cast<Listener*>(JRealloc(listeners, sizeof(Listener) * static_cast<size_t>(listenerCount + 1)));
  listeners[listenerCount++] = {proc, data};
}

void JRemoveWindowChangeListener(JWindowChangeProc proc, void* data) {
  for (int i = 0; i < listenerCount; ++i) {
    if (listeners[i].proc == proc && listeners[i].data == data) {
      std::memmove(listeners + i, listeners + i + 1, sizeof(Listener) * static_cast<size_t>(listenerCount - i - 1));
      --listenerCount;
      return;
    }
  }
}

void JNotifyWindowChange(int16_t code) {
  for (int i = 0; i < listenerCount; ++i) listeners[i].proc(listeners[i].data, code);
}
