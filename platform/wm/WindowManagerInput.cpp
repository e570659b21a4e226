// The window manager's input: pointer and keys become messages, and the pointer drags
// windows by their caption and borders and presses their frame boxes.
#include "platform/wm/WindowManager.h"

#include <algorithm>

namespace platform::wm {

// --- input ---------------------------------------------------------------------------------

void WindowManager::pumpInput() {
  InputEvent e;
  while (backend_.nextInput(&e)) handleInput(e);
}

void WindowManager::dragTo(int x, int y) {
  Window* w = window(drag_.window);
  if (!w) {
    drag_ = {};
    return;
  }
  const int dx = x - drag_.start.x, dy = y - drag_.start.y;
  Rect f = drag_.startFrame;
  if (drag_.edges == 0) {
    f = f.translated(dx, dy);
  } else {
    const int minW = std::max(w->style().minTrackWidth, 1);
    const int minH = std::max(w->style().minTrackHeight, 1);
    if (drag_.edges & kEdgeLeft) f.left = std::min(f.left + dx, f.right - minW);
    if (drag_.edges & kEdgeRight) f.right = std::max(f.right + dx, f.left + minW);
    if (drag_.edges & kEdgeTop) f.top = std::min(f.top + dy, f.bottom - minH);
    if (drag_.edges & kEdgeBottom) f.bottom = std::max(f.bottom + dy, f.top + minH);
  }
  if (!(f == w->frame())) applyFrame(*w, f);
}

void WindowManager::boxAction(Window& w, HitPart part) {
  switch (part) {
    case HitPart::CloseBox:
      post(messageFor(MessageType::Close, w));
      break;
    case HitPart::MaximizeBox:
      w.state() == WindowState::Normal ? maximize(w.id()) : restore(w.id());
      break;
    case HitPart::MinimizeBox:
      w.state() == WindowState::Minimized ? restore(w.id()) : minimize(w.id());
      break;
    default:
      break;
  }
}

void WindowManager::handleInput(const InputEvent& e) {
  if (popup_.isOpen() && menuInput(e)) return;
  switch (e.type) {
    case InputEvent::Type::MouseMove:
      pointerMoved(e);
      return;
    case InputEvent::Type::MouseDown:
      pointerPressed(e);
      return;
    case InputEvent::Type::MouseUp:
      pointerReleased(e);
      return;
    case InputEvent::Type::KeyDown:
    case InputEvent::Type::KeyUp:
    case InputEvent::Type::Text:
      keyInput(e);
      return;
    case InputEvent::Type::Command:
    case InputEvent::Type::CloseRequest: {
      const Window* frame = window(mainFrame_);
      if (!frame) return;
      Message m = messageFor(e.type == InputEvent::Type::Command ? MessageType::Command : MessageType::Close, *frame);
      m.command = e.command;
      post(m);
      return;
    }
  }
}

// The window a pointer event goes to: the captured one, else the client area under it.
WindowId WindowManager::pointerTarget(const InputEvent& e) const {
  if (capture_) return capture_;
  const HitResult hit = hitTest(e.x, e.y);
  return hit.part == HitPart::Client ? hit.window : 0;
}

void WindowManager::pointerMoved(const InputEvent& e) {
  pointer_ = {e.x, e.y};
  modifiers_ = e.modifiers;
  if (drag_.window) {
    dragTo(e.x, e.y);
    return;
  }
  if (const Window* w = window(pointerTarget(e))) {
    Message m = pointerMessageFor(MessageType::MouseMove, *w, e);
    m.time = ticks();
    queue_.postCoalesced(m);
  }
}

void WindowManager::pointerPressed(const InputEvent& e) {
  pointer_ = {e.x, e.y};
  modifiers_ = e.modifiers;
  if (drag_.window || pressed_.window) return;
  const HitResult hit = hitTest(e.x, e.y);
  Window* w = window(hit.window);
  if (!w) return;
  // Clicking the main frame leaves an active document active, as its frame holds it.
  const Window* current = window(active_);
  if (hit.window != mainFrame_ || !current || current->kind() != WindowKind::Document) activate(hit.window);
  Message m = pointerMessageFor(hit.part == HitPart::Client ? MessageType::MouseDown : MessageType::NonClientDown, *w, e);
  m.button = e.button;
  m.command = hit.part == HitPart::MenuBar ? static_cast<uint32_t>(hit.menuIndex + 1) : 0;
  post(m);
  switch (hit.part) {
    case HitPart::Client:
      capture_ = hit.window;
      break;
    case HitPart::Caption:
      if (w->state() == WindowState::Normal) drag_ = {hit.window, 0, {e.x, e.y}, w->frame()};
      break;
    case HitPart::Border:
      drag_ = {hit.window, hit.edges, {e.x, e.y}, w->frame()};
      break;
    case HitPart::CloseBox:
    case HitPart::MinimizeBox:
    case HitPart::MaximizeBox:
      pressed_ = {hit.window, hit.part};
      break;
    case HitPart::MenuBar:
      openBarMenu(hit.menuIndex);
      break;
    case HitPart::SystemBox:
      openSystemMenu(hit.window);
      break;
    default:
      break;
  }
}

void WindowManager::pointerReleased(const InputEvent& e) {
  pointer_ = {e.x, e.y};
  modifiers_ = e.modifiers;
  if (drag_.window) {
    dragTo(e.x, e.y);
    drag_ = {};
    return;
  }
  if (pressed_.window) {
    // A box acts only when the button comes up over the same box.
    const PressedBox box = pressed_;
    pressed_ = {};
    const HitResult hit = hitTest(e.x, e.y);
    if (hit.window == box.window && hit.part == box.part) boxAction(*window(box.window), box.part);
    return;
  }
  const WindowId target = pointerTarget(e);
  capture_ = 0;
  if (const Window* w = window(target)) {
    Message m = pointerMessageFor(MessageType::MouseUp, *w, e);
    m.button = e.button;
    post(m);
  }
}

// Keys and text go to the active window (the main frame when none is active); a key that
// types a character is followed by its Char message.
void WindowManager::keyInput(const InputEvent& e) {
  modifiers_ = e.modifiers;
  const Window* w = window(active_ ? active_ : mainFrame_);
  if (!w) return;
  Message m = messageFor(e.type == InputEvent::Type::KeyUp ? MessageType::KeyUp
                         : e.type == InputEvent::Type::Text ? MessageType::Char
                                                             : MessageType::KeyDown,
                         *w);
  m.key = e.key;
  m.character = e.character;
  m.modifiers = e.modifiers;
  post(m);
  if (e.type == InputEvent::Type::KeyDown && e.character != 0) {
    m.type = MessageType::Char;
    post(m);
  }
}

}  // namespace platform::wm
