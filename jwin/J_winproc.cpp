// The window procedure: platform messages become calls of the handler slots.
#include "jwin/J_winproc.h"

#include "jwin/J_draw.h"
#include "jwin/J_event.h"
#include "jwin/J_hleven.h"
#include "jwin/J_platform.h"
#include "jwin/widget_hooks.h"

using platform::wm::KeyCode;
using platform::wm::Message;
using platform::wm::MessageType;

namespace {

JMenuCommandProc menuCommand = nullptr;
void* menuCommandData = nullptr;
JKeyFilterProc keyFilter = nullptr;
void* keyFilterData = nullptr;
JPressHookProc pressHook = nullptr;
uint32_t pointerWindow = 0;  // platform window under the pointer at the last tracking

int16_t Local(int client, int16_t origin) { return static_cast<int16_t>(client - origin); }

void CallWindowSlot(JWindow* w, int slot) {
  if (w->state & kJWindowClosed) return;
  if (JHandler h = w->slots[slot]) reinterpret_cast<JWindowProc>(h)(w);
}

void CallMouseSlot(JWindow* w, int slot, int x, int y, uint8_t modifiers) {
  if (w->state & kJWindowClosed) return;
  if (JHandler h = w->slots[slot])
    reinterpret_cast<JMouseProc>(h)(w, static_cast<int16_t>(x - w->originX), static_cast<int16_t>(y - w->originY),
                                    modifiers);
}

// Ctrl+F4 closes the active document window and Ctrl+F6 brings the next one forward,
// as their system menus promise. Answers whether the key was one of them.
bool DocumentAccelerator(const Message& m) {
  if (m.type != MessageType::KeyDown || (m.modifiers & (platform::wm::kCtrl | platform::wm::kAlt)) != platform::wm::kCtrl)
    return false;
  if (m.key != platform::wm::kKeyF1 + 3 && m.key != platform::wm::kKeyF1 + 5) return false;
  platform::wm::WindowManager& wm = JWindowManager();
  const platform::wm::Window* active = wm.window(wm.activeWindow());
  if (!active || active->kind() != platform::wm::WindowKind::Document) return true;
  if (m.key == platform::wm::kKeyF1 + 3) {
    if (JWindow* w = JWindowFromPlatform(active->id())) JRequestClose(w);
    return true;
  }
  wm.activateNextDocument();
  return true;
}

void EndPendingPress(JWindow* w) {
  if (!w->pressPending) return;
  w->pressPending = false;
  CallWindowSlot(w, kJSlotPressEnded);
}

// Messages of the main frame itself: it has no toolkit record.
void MainWindowMessage(const Message& m) {
  switch (m.type) {
    case MessageType::Close:
      JHighLevelRequest(kJRequestQuit, nullptr);
      break;
    case MessageType::Size:
      JNotifyWindowChange(1);
      break;
    case MessageType::Move:
      JNotifyWindowChange(5);
      break;
    case MessageType::Command:
      if (menuCommand) menuCommand(menuCommandData, static_cast<uint16_t>(m.command));
      break;
    case MessageType::KeyDown:
    case MessageType::Char: {
      JKeyEvent key;
      if (!DocumentAccelerator(m) && JKeyEventFromMessage(m, &key)) JDeliverKey(nullptr, &key);
      break;
    }
    default:
      break;
  }
}

void WindowMessage(JWindow* w, const Message& m) {
  const uint8_t mods = JModifiersFromPlatform(m.modifiers);
  switch (m.type) {
    case MessageType::Paint:
      // The window is the drawing area while it paints; its widgets draw over its content.
      JSetDrawWindow(w);
      CallWindowSlot(w, kJSlotDraw);
      if (!(w->state & kJWindowClosed)) JWidgetsOf().draw(w);
      JResetDrawArea(nullptr);
      break;
    case MessageType::MouseDown:
      // The topmost widget under the point takes the press; otherwise the window does.
      if (!JWidgetsOf().mouseDown(w, Local(m.x, w->originX), Local(m.y, w->originY), mods)) {
        w->pressPending = true;
        CallMouseSlot(w, kJSlotMouseDown, m.x, m.y, mods);
      }
      break;
    case MessageType::MouseUp:
      if (!JWidgetsOf().mouseUp(w, Local(m.x, w->originX), Local(m.y, w->originY), mods)) {
        w->pressPending = false;
        CallMouseSlot(w, kJSlotMouseUp, m.x, m.y, mods);
      }
      break;
    case MessageType::NonClientDown:
      EndPendingPress(w);
      break;
    case MessageType::MouseMove:
      if (JWidgetsOf().mouseMove(w, Local(m.x, w->originX), Local(m.y, w->originY))) break;
      if (!(w->state & kJWindowClosed) && w->slots[kJSlotMouseMove])
        reinterpret_cast<JPointerProc>(w->slots[kJSlotMouseMove])(w, static_cast<int16_t>(m.x - w->originX),
                                                                  static_cast<int16_t>(m.y - w->originY));
      break;
    case MessageType::KeyDown:
    case MessageType::Char: {
      JKeyEvent key;
      if (!DocumentAccelerator(m) && JKeyEventFromMessage(m, &key)) JDeliverKey(w, &key);
      break;
    }
    case MessageType::KeyUp: {
      JKeyEvent key = {static_cast<uint8_t>(m.key & 0xFF), 0, mods, 0, 0};
      if (!(w->state & kJWindowClosed) && w->slots[kJSlotKeyUp])
        reinterpret_cast<JKeyProc>(w->slots[kJSlotKeyUp])(w, &key);
      break;
    }
    case MessageType::Activate:
      if (m.active) {
        CallWindowSlot(w, kJSlotActivated);
      } else {
        EndPendingPress(w);
        CallWindowSlot(w, kJSlotDeactivated);
      }
      break;
    case MessageType::Size:
      if (m.x != w->lastWidth || m.y != w->lastHeight) {
        w->lastWidth = static_cast<int16_t>(m.x);
        w->lastHeight = static_cast<int16_t>(m.y);
        CallWindowSlot(w, kJSlotResized);
      }
      break;
    case MessageType::Move:
      if (m.x != w->lastLeft || m.y != w->lastTop) {
        w->lastLeft = static_cast<int16_t>(m.x);
        w->lastTop = static_cast<int16_t>(m.y);
        CallWindowSlot(w, kJSlotMoved);
      }
      break;
    case MessageType::Close:
      JRequestClose(w);
      break;
    case MessageType::Command:
      if (w->commandProc && !(w->state & kJWindowClosed)) w->commandProc(w, static_cast<uint16_t>(m.command));
      break;
    case MessageType::Timer:
      break;
  }
}

}  // namespace

void JDispatchMessage(const Message& m) {
  if (JToolkitShuttingDown()) return;
  if (pressHook && (m.type == MessageType::MouseDown || m.type == MessageType::NonClientDown))
    pressHook(JWindowFromPlatform(m.window));
  if (m.window == JMainPlatformWindow()) {
    MainWindowMessage(m);
    return;
  }
  JWindow* w = JWindowFromPlatform(m.window);
  if (!w || (w->state & kJWindowClosed)) return;
  // Held so that a handler disposing its own window leaves the record readable here.
  JHoldWindow(w);
  WindowMessage(w, m);
  JReleaseWindow(w);
}

bool JKeyEventFromMessage(const Message& m, JKeyEvent* key) {
  *key = {};
  key->modifiers = JModifiersFromPlatform(m.modifiers);
  if (m.type == MessageType::Char) {
    key->code = static_cast<uint8_t>(m.key & 0xFF);
    key->unicode = m.character;
    key->character = m.character < 256 ? static_cast<uint8_t>(m.character) : '?';
    return m.character != 0;
  }
  if (m.type != MessageType::KeyDown) return false;
  // Keys that type text arrive again as characters; only the others are keys here.
  uint8_t c = 0;
  switch (m.key) {
    case platform::wm::kKeyLeft: c = kJCharLeft; break;
    case platform::wm::kKeyRight: c = kJCharRight; break;
    case platform::wm::kKeyUp: c = kJCharUp; break;
    case platform::wm::kKeyDown: c = kJCharDown; break;
    case platform::wm::kKeyHome: c = kJCharHome; break;
    case platform::wm::kKeyEnd: c = kJCharEnd; break;
    case platform::wm::kKeyPageUp: c = kJCharPageUp; break;
    case platform::wm::kKeyPageDown: c = kJCharPageDown; break;
    case platform::wm::kKeyInsert: c = kJCharInsert; break;
    case platform::wm::kKeyDelete: c = kJCharDelete; break;
    default:
      if (m.key >= platform::wm::kKeyF1 && m.key < platform::wm::kKeyF1 + 12) {
        key->character = kJCharFunction;
        key->code = static_cast<uint8_t>(m.key - platform::wm::kKeyF1 + 1);
        return true;
      }
      return false;
  }
  key->code = static_cast<uint8_t>(m.key & 0xFF);
  key->character = c;
  key->unicode = c;
  return true;
}

void JDeliverKey(JWindow* w, JKeyEvent* key) {
  if (keyFilter && keyFilter(keyFilterData, key)) return;
  if (!w || (w->state & kJWindowClosed)) return;
  // Dialog-style windows, and windows that ask for it, move the focus with Tab.
  if ((w->state & (kJWindowDialogStyle | kJWindowTabFocus)) && key->character == kJCharTab &&
      !(key->modifiers & (kJModCtrl | kJModAlt)) && JWidgetsOf().focusNext(w, (key->modifiers & kJModShift) != 0))
    return;
  if (JWidgetsOf().key(w, key)) return;
  if (JHandler h = w->slots[kJSlotKeyDown]) reinterpret_cast<JKeyProc>(h)(w, key);
}

void JTrackPointer() {
  platform::wm::WindowManager& wm = JWindowManager();
  const platform::wm::HitResult hit = wm.hitTest(wm.pointer().x, wm.pointer().y);
  const uint32_t now = hit.part == platform::wm::HitPart::Client ? hit.window : 0;
  JWindow* w = JWindowFromPlatform(now);
  JWidget* widget = nullptr;
  if (w) {
    const platform::Rect c = wm.screenClientRect(*wm.window(now));
    widget = JWidgetsOf().widgetAt(w, Local(wm.pointer().x - c.left, w->originX), Local(wm.pointer().y - c.top, w->originY));
  }
  if (now == pointerWindow) {
    if (w) JWidgetsOf().pointerAt(w, widget);
    return;
  }
  // Leave comes before enter: the window's slot, then its widget.
  if (JWindow* old = JWindowFromPlatform(pointerWindow)) {
    JHoldWindow(old);
    CallWindowSlot(old, kJSlotPointerLeft);
    JWidgetsOf().pointerAt(old, nullptr);
    JReleaseWindow(old);
  }
  pointerWindow = now;
  if (w) {
    JHoldWindow(w);
    CallWindowSlot(w, kJSlotPointerEntered);
    if (!(w->state & kJWindowClosed)) JWidgetsOf().pointerAt(w, widget);
    JReleaseWindow(w);
  }
}

void JResetWindowProcState() {
  pointerWindow = 0;
  menuCommand = nullptr;
  menuCommandData = nullptr;
  keyFilter = nullptr;
  keyFilterData = nullptr;
  pressHook = nullptr;
}

void JSetPressHook(JPressHookProc proc) { pressHook = proc; }

void JSetMenuCommandHandler(JMenuCommandProc proc, void* data) {
  menuCommand = proc;
  menuCommandData = data;
}

void JSetKeyFilter(JKeyFilterProc proc, void* data) {
  keyFilter = proc;
  keyFilterData = data;
}
