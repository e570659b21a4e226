#include "platform/wm/WindowManager.h"

#include <algorithm>

#include "platform/wm/FramePainter.h"
#include "platform/wm/Metrics.h"

namespace platform::wm {

WindowManager::WindowManager(ScreenBackend& backend, int width, int height)
    : backend_(backend), screen_(width, height) {
  screenDirty_.add(screen_.bounds());
}

// --- windows -------------------------------------------------------------------------------

WindowId WindowManager::createWindow(WindowKind kind, const WindowStyle& style, std::string title,
                                     const Rect& frame) {
  if (kind == WindowKind::MainFrame && mainFrame_ != 0) return 0;
  if (kind == WindowKind::Document && mainFrame_ == 0) return 0;
  const WindowId id = nextId_++;
  auto w = std::make_unique<Window>(id, kind, style, std::move(title));
  w->setFrame(frame);
  windows_[id] = std::move(w);
  if (kind == WindowKind::MainFrame)
    mainFrame_ = id;
  else if (kind == WindowKind::Document)
    documents_.push_back(id);
  else
    topLevel_.push_back(id);
  return id;
}

void WindowManager::removeFromOrder(WindowId id) {
  documents_.erase(std::remove(documents_.begin(), documents_.end(), id), documents_.end());
  topLevel_.erase(std::remove(topLevel_.begin(), topLevel_.end(), id), topLevel_.end());
}

void WindowManager::destroyWindow(WindowId id) {
  Window* w = window(id);
  if (!w) return;
  if (id == mainFrame_) {
    // The document windows live inside the frame and go with it.
    const std::vector<WindowId> docs = documents_;
    for (WindowId d : docs) destroyWindow(d);
  }
  if (w->visible()) markFrameDirty(*w);
  removeFromOrder(id);
  queue_.removeWindow(id);
  painting_.erase(id);
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [id](const Timer& t) { return t.window == id; }),
                timers_.end());
  if (capture_ == id) capture_ = 0;
  if (popup_.isOpen() && (popup_.systemOf() == id || (id == mainFrame_ && popup_.barIndex() >= 0))) closeMenu();
  if (drag_.window == id) drag_ = {};
  if (pressed_.window == id) pressed_ = {};
  if (id == mainFrame_) mainFrame_ = 0;
  const bool wasActive = active_ == id;
  windows_.erase(id);
  if (wasActive) {
    active_ = 0;
    pickNewActive(id);
  }
}

Window* WindowManager::window(WindowId id) {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : it->second.get();
}

const Window* WindowManager::window(WindowId id) const {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : it->second.get();
}

void WindowManager::show(WindowId id, bool activateIt) {
  Window* w = window(id);
  if (!w) return;
  if (!w->visible_) {
    w->visible_ = true;
    w->invalid_.add({0, 0, w->backing().width(), w->backing().height()});
    markFrameDirty(*w);
  }
  if (activateIt) activate(id);
}

void WindowManager::hide(WindowId id) {
  Window* w = window(id);
  if (!w || !w->visible_) return;
  markFrameDirty(*w);
  w->visible_ = false;
  if (capture_ == id) capture_ = 0;
  if (active_ == id) {
    const WindowId leaving = active_;
    post(messageFor(MessageType::Activate, *w));
    active_ = 0;
    pickNewActive(leaving);
  }
}

void WindowManager::pickNewActive(WindowId leaving) {
  // The topmost visible document keeps work going; otherwise the main frame.
  for (auto it = documents_.rbegin(); it != documents_.rend(); ++it) {
    const Window* d = window(*it);
    if (*it != leaving && d && d->visible()) {
      activate(*it);
      return;
    }
  }
  const Window* frame = window(mainFrame_);
  if (frame && frame->visible() && mainFrame_ != leaving) activate(mainFrame_);
}

void WindowManager::setTitle(WindowId id, std::string title) {
  Window* w = window(id);
  if (!w || w->title_ == title) return;
  w->title_ = std::move(title);
  if (w->visible_) markFrameDirty(*w);
}

Rect WindowManager::parentArea(const Window& w) const {
  if (w.kind() == WindowKind::Document) {
    const Rect d = documentArea();
    return {0, 0, d.width(), d.height()};
  }
  return screen_.bounds();
}

Rect WindowManager::documentArea() const {
  const Window* frame = window(mainFrame_);
  if (!frame) return {};
  return screenClientRect(*frame);
}

Rect WindowManager::screenFrame(const Window& w) const {
  if (w.kind() != WindowKind::Document) return w.frame();
  const Rect d = documentArea();
  return w.frame().translated(d.left, d.top);
}

Rect WindowManager::screenClientRect(const Window& w) const {
  const Rect f = screenFrame(w);
  return w.clientRect().translated(f.left, f.top);
}

Rect WindowManager::visibleClientRect(const Window& w) const {
  Rect c = screenClientRect(w).intersected(screen_.bounds());
  if (w.kind() == WindowKind::Document) c = c.intersected(documentArea());
  return c;
}

void WindowManager::markFrameDirty(const Window& w) {
  Rect f = screenFrame(w);
  if (w.kind() == WindowKind::Document) f = f.intersected(documentArea());
  screenDirty_.add(f.intersected(screen_.bounds()));
}

Message WindowManager::messageFor(MessageType type, const Window& w) const {
  Message m;
  m.type = type;
  m.window = w.id();
  return m;
}

// A pointer message carries the point both in the window's client coordinates and on the screen.
Message WindowManager::pointerMessageFor(MessageType type, const Window& w, const InputEvent& e) const {
  Message m = messageFor(type, w);
  const Rect c = screenClientRect(w);
  m.x = e.x - c.left;
  m.y = e.y - c.top;
  m.screenX = e.x;
  m.screenY = e.y;
  m.modifiers = e.modifiers;
  return m;
}

void WindowManager::applyFrame(Window& w, const Rect& frame) {
  const Rect oldClient = w.clientRect().translated(w.frame().left, w.frame().top);
  const bool wasVisible = w.visible_;
  const Rect oldDocArea = documentArea();
  if (wasVisible) markFrameDirty(w);
  w.setFrame(frame);
  const Rect newClient = w.clientRect().translated(frame.left, frame.top);
  if (wasVisible) markFrameDirty(w);
  if (newClient.width() != oldClient.width() || newClient.height() != oldClient.height()) {
    // The whole client is repainted after a resize.
    w.invalid_.clear();
    if (!newClient.empty()) w.invalid_.add({0, 0, newClient.width(), newClient.height()});
    Message m = messageFor(MessageType::Size, w);
    m.x = newClient.width();
    m.y = newClient.height();
    queue_.postCoalesced(m);
  }
  if (newClient.left != oldClient.left || newClient.top != oldClient.top) {
    Message m = messageFor(MessageType::Move, w);
    m.x = newClient.left;
    m.y = newClient.top;
    queue_.postCoalesced(m);
  }
  if (w.id() == mainFrame_ && !(documentArea() == oldDocArea)) {
    const Rect area = documentArea();
    for (WindowId id : documents_) {
      Window* d = window(id);
      if (d->state() == WindowState::Maximized) applyFrame(*d, {0, 0, area.width(), area.height()});
    }
  }
}

void WindowManager::setFrame(WindowId id, const Rect& frame) {
  Window* w = window(id);
  if (!w || frame.empty()) return;
  w->state_ = WindowState::Normal;
  applyFrame(*w, frame);
}

void WindowManager::setClientRect(WindowId id, const Rect& client) {
  if (const Window* w = window(id)) setFrame(id, w->frameAround(client));
}

void WindowManager::maximize(WindowId id) {
  Window* w = window(id);
  if (!w || w->state_ == WindowState::Maximized) return;
  if (w->state_ == WindowState::Normal) w->restoreFrame_ = w->frame_;
  w->state_ = WindowState::Maximized;
  applyFrame(*w, parentArea(*w));
}

void WindowManager::minimize(WindowId id) {
  Window* w = window(id);
  if (!w || w->state_ == WindowState::Minimized) return;
  if (w->state_ == WindowState::Normal) w->restoreFrame_ = w->frame_;
  w->state_ = WindowState::Minimized;
  // Minimized windows line up along the bottom of what holds them.
  const Rect area = parentArea(*w);
  int slot = 0;
  for (const auto& [otherId, other] : windows_)
    if (otherId != id && other->state_ == WindowState::Minimized && other->kind() == w->kind()) ++slot;
  const int height = 2 * w->borderWidth() + Metrics::kCaptionHeight;
  const int left = area.left + slot * Metrics::kMinimizedWidth;
  applyFrame(*w, {left, area.bottom - height, left + Metrics::kMinimizedWidth, area.bottom});
}

void WindowManager::restore(WindowId id) {
  Window* w = window(id);
  if (!w || w->state_ == WindowState::Normal) return;
  w->state_ = WindowState::Normal;
  applyFrame(*w, w->restoreFrame_);
}

void WindowManager::raise(WindowId id) {
  Window* w = window(id);
  if (!w) return;
  std::vector<WindowId>& list = w->kind() == WindowKind::Document ? documents_ : topLevel_;
  auto it = std::find(list.begin(), list.end(), id);
  if (it == list.end() || it + 1 == list.end()) return;
  list.erase(it);
  list.push_back(id);
  if (w->visible_) markFrameDirty(*w);
}

void WindowManager::activate(WindowId id) {
  Window* w = window(id);
  if (!w) return;
  raise(id);
  if (active_ == id) return;
  if (Window* old = window(active_)) {
    Message m = messageFor(MessageType::Activate, *old);
    m.active = false;
    post(m);
    if (old->visible_) markFrameDirty(*old);
  }
  active_ = id;
  Message m = messageFor(MessageType::Activate, *w);
  m.active = true;
  post(m);
  if (w->visible_) markFrameDirty(*w);
}

std::vector<WindowId> WindowManager::paintOrder() const {
  std::vector<WindowId> order;
  auto visible = [this](WindowId id) {
    const Window* w = window(id);
    return w && w->visible();
  };
  if (visible(mainFrame_)) {
    order.push_back(mainFrame_);
    for (WindowId id : documents_)
      if (visible(id)) order.push_back(id);
  }
  for (int pass = 0; pass < 2; ++pass)
    for (WindowId id : topLevel_)
      if (visible(id) && window(id)->style().topmost == (pass == 1)) order.push_back(id);
  return order;
}

bool WindowManager::hitWindow(const Window& w, int x, int y, HitResult* out) const {
  const Rect f = screenFrame(w);
  if (!f.contains(x, y)) return false;
  if (w.kind() == WindowKind::Document && !documentArea().contains(x, y)) return false;
  out->window = w.id();
  out->part = w.hitTest(x - f.left, y - f.top, &out->edges);
  if (out->part == HitPart::MenuBar) {
    const std::vector<Rect> titles = menuTitleRects();
    for (size_t i = 0; i < titles.size(); ++i)
      if (titles[i].contains(x - f.left, y - f.top)) out->menuIndex = static_cast<int>(i);
  }
  return true;
}

HitResult WindowManager::hitTest(int x, int y) const {
  HitResult result;
  const std::vector<WindowId> order = paintOrder();
  for (auto it = order.rbegin(); it != order.rend(); ++it)
    if (hitWindow(*window(*it), x, y, &result)) return result;
  return result;
}

// --- invalid areas and painting ------------------------------------------------------------

void WindowManager::invalidate(WindowId id, const Rect& area) {
  Window* w = window(id);
  if (!w) return;
  w->invalid_.add(area.intersected({0, 0, w->backing().width(), w->backing().height()}));
}

void WindowManager::invalidateAll(WindowId id) {
  Window* w = window(id);
  if (w) invalidate(id, {0, 0, w->backing().width(), w->backing().height()});
}

void WindowManager::validate(WindowId id, const Rect& area) {
  if (Window* w = window(id)) w->invalid_.subtract(area);
}

const DirtyRegion* WindowManager::paintRegion(WindowId id) const {
  auto it = painting_.find(id);
  return it == painting_.end() ? nullptr : &it->second;
}

void WindowManager::contentChanged(WindowId id, const Rect& area) {
  Window* w = window(id);
  if (!w || !w->visible_) return;
  const Rect c = screenClientRect(*w);
  screenDirty_.add(area.translated(c.left, c.top).intersected(visibleClientRect(*w)));
}

void WindowManager::compose() {
  // Painted areas become visible now that their windows have drawn them.
  for (auto& [id, region] : painting_) {
    const Window* w = window(id);
    if (!w) continue;
    for (const Rect& r : region.rects()) contentChanged(id, r);
  }
  painting_.clear();
  if (screenDirty_.empty()) {
    // Nothing changed, but a desktop that lost our pixels (uncovered, just mapped) shows
    // the framebuffer again.
    backend_.present(screen_.framebuffer(), {});
    return;
  }
  const std::vector<Rect> rects = screenDirty_.rects();
  screenDirty_.clear();
  compositor_.compose(*this, rects);
  backend_.present(screen_.framebuffer(), rects);
}

// --- messages ------------------------------------------------------------------------------

void WindowManager::post(Message m) {
  m.time = ticks();
  queue_.post(m);
}

bool WindowManager::nextMessage(Message* out, WindowId filter, bool remove) {
  // Keys belong to the window that is active when they are read, not when they were
  // queued: keys typed after the one that opens a dialog or an alert go to it.
  const WindowId keyTarget = active_ ? active_ : mainFrame_;
  auto target = [keyTarget](const Message& m) {
    const bool key = m.type == MessageType::KeyDown || m.type == MessageType::KeyUp || m.type == MessageType::Char;
    return key && keyTarget ? keyTarget : m.window;
  };
  auto accept = [filter, &target](const Message& m) { return filter == 0 || target(m) == filter; };
  if (remove ? queue_.take(out, accept) : queue_.peek(out, accept)) {
    out->window = target(*out);
    return true;
  }
  // Paints come once nothing else waits, then timers.
  if (nextPaint(out, filter, remove)) return true;
  const uint32_t now = ticks();
  for (Timer& t : timers_) {
    if (filter != 0 && t.window != filter) continue;
    if (static_cast<int32_t>(now - t.next) < 0) continue;
    *out = messageFor(MessageType::Timer, *window(t.window));
    out->command = t.id;
    out->time = now;
    if (remove) t.next = now + t.period;
    return true;
  }
  return false;
}

bool WindowManager::nextPaint(Message* out, WindowId filter, bool remove) {
  // Topmost windows first: what the user looks at is drawn first.
  const std::vector<WindowId> order = paintOrder();
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    Window* w = window(*it);
    if (w->invalid_.empty() || w->state_ == WindowState::Minimized || (filter != 0 && *it != filter)) continue;
    *out = messageFor(MessageType::Paint, *w);
    out->time = ticks();
    if (remove) {
      DirtyRegion& region = painting_[w->id()];
      for (const Rect& r : w->invalid_.rects()) {
        region.add(r);
        if (w->style().eraseBackground) FramePainter(w->backing(), r).fill(r, w->style().background);
      }
      w->invalid_.clear();
    }
    return true;
  }
  return false;
}

void WindowManager::setTimer(WindowId id, uint32_t timerId, uint32_t period) {
  if (!window(id)) return;
  killTimer(id, timerId);
  timers_.push_back({id, timerId, period, ticks() + period});
}

void WindowManager::killTimer(WindowId id, uint32_t timerId) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [&](const Timer& t) { return t.window == id && t.id == timerId; }),
                timers_.end());
}

// --- cursor, beep --------------------------------------------------------------------------

void WindowManager::warpPointer(int x, int y) {
  pointer_ = {x, y};
  backend_.warpPointer(x, y);
}

void WindowManager::setCursor(CursorShape shape) {
  if (cursor_.setShape(shape)) backend_.setCursor(shape);
}

void WindowManager::beep() {
  ++beeps_;
  backend_.beep();
}

}  // namespace platform::wm
