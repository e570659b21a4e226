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
    case InputEvent::Type::MouseMove: {
      pointer_ = {e.x, e.y};
      modifiers_ = e.modifiers;
      if (drag_.window) {
        dragTo(e.x, e.y);
        return;
      }
      WindowId target = capture_;
      if (!target) {
        const HitResult hit = hitTest(e.x, e.y);
        if (hit.part == HitPart::Client) target = hit.window;
      }
      if (const Window* w = window(target)) {
        Message m = pointerMessageFor(MessageType::MouseMove, *w, e);
        m.time = ticks();
        queue_.postCoalesced(m);
      }
      return;
    }
    case InputEvent::Type::MouseDown: {
      pointer_ = {e.x, e.y};
      modifiers_ = e.modifiers;
      if (drag_.window || pressed_.window) return;
      const HitResult hit = hitTest(e.x, e.y);
      Window* w = window(hit.window);
      if (!w) return;
      // Clicking the main frame leaves an active document active, as its frame holds it.
      const Window* current = window(active_);
      if (hit.window != mainFrame_ || !current || current->kind() != WindowKind::Document)
        activate(hit.window);
      Message m =
          pointerMessageFor(hit.part == HitPart::Client ? MessageType::MouseDown : MessageType::NonClientDown, *w, e);
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
      return;
    }
    case InputEvent::Type::MouseUp: {
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
      WindowId target = capture_;
      capture_ = 0;
      if (!target) {
        const HitResult hit = hitTest(e.x, e.y);
        if (hit.part == HitPart::Client) target = hit.window;
      }
      if (const Window* w = window(target)) {
        Message m = pointerMessageFor(MessageType::MouseUp, *w, e);
        m.button = e.button;
        post(m);
      }
      return;
    }
    case InputEvent::Type::KeyDown:
    case InputEvent::Type::KeyUp:
    case InputEvent::Type::Text: {
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
      return;
    }
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

// --- menu bar, cursor, beep ----------------------------------------------------------------

void WindowManager::setMenus(std::vector<Menu> menus) {
  if (popup_.isOpen() && popup_.barIndex() >= 0) closeMenu();
  menus_ = std::move(menus);
  if (const Window* frame = window(mainFrame_)) markFrameDirty(*frame);
}

void WindowManager::setSystemMenuExtras(std::vector<MenuItem> items) { systemExtras_ = std::move(items); }

std::vector<Rect> WindowManager::menuTitleRects() const {
  std::vector<Rect> rects;
  const Window* frame = window(mainFrame_);
  if (!frame) return rects;
  const Rect strip = frame->menuBarRect();
  int x = strip.left + 2;
  for (const Menu& m : menus_) {
    const int w = FramePainter::TitleWidth(m.title);
    rects.push_back({x, strip.top, x + w, strip.bottom - 1});
    x += w;
  }
  return rects;
}

void WindowManager::markPopupDirty() {
  if (popup_.isOpen()) screenDirty_.add(popup_.bounds());
  if (const Window* frame = window(mainFrame_)) markFrameDirty(*frame);
}

void WindowManager::openBarMenu(int index) {
  if (menuOpening_) menuOpening_();
  const Window* frame = window(mainFrame_);
  if (!frame || index < 0 || index >= static_cast<int>(menus_.size()) || !menus_[index].enabled) return;
  markPopupDirty();
  const Rect f = screenFrame(*frame);
  const Rect title = menuTitleRects()[index].translated(f.left, f.top);
  popup_.open(menus_[index].items, {title.left, frame->menuBarRect().bottom + f.top}, screen_.bounds(), index, 0);
  popupPressed_ = false;
  markPopupDirty();
}

void WindowManager::openSystemMenu(WindowId id) {
  if (id == mainFrame_ && menuOpening_) menuOpening_();
  const Window* w = window(id);
  if (!w) return;
  std::vector<MenuItem> items;
  if (w->kind() == WindowKind::Document) {
    items.push_back({"&Close\tCtrl+F4", kSystemClose});
    items.push_back({"Nex&t\tCtrl+F6", kSystemNextWindow});
  } else {
    items.push_back({"&Close\tAlt+F4", kSystemClose});
  }
  if (id == mainFrame_ && !systemExtras_.empty()) {
    MenuItem separator;
    separator.separator = true;
    items.push_back(separator);
    items.insert(items.end(), systemExtras_.begin(), systemExtras_.end());
  }
  markPopupDirty();
  const Rect box = w->systemBoxRect().translated(screenFrame(*w).left, screenFrame(*w).top);
  popup_.open(std::move(items), {box.left, box.bottom}, screen_.bounds(), -1, id);
  popupPressed_ = false;
  markPopupDirty();
}

void WindowManager::closeMenu() {
  if (!popup_.isOpen()) return;
  markPopupDirty();
  popup_.close();
}

void WindowManager::activateNextDocument() {
  const Window* current = window(active_);
  for (WindowId id : documents_) {
    const Window* d = window(id);
    if (d->visible() && (!current || id != current->id())) {
      activate(id);
      return;
    }
  }
}

void WindowManager::chooseMenuItem(int index) {
  const MenuItem item = popup_.items()[static_cast<size_t>(index)];
  const WindowId systemOf = popup_.systemOf();
  closeMenu();
  if (!item.enabled || item.separator) return;
  if (systemOf != 0 && item.command == kSystemClose) {
    if (const Window* w = window(systemOf)) post(messageFor(MessageType::Close, *w));
    return;
  }
  if (systemOf != 0 && item.command == kSystemNextWindow) {
    activateNextDocument();
    return;
  }
  if (const Window* frame = window(mainFrame_)) {
    Message m = messageFor(MessageType::Command, *frame);
    m.command = item.command;
    post(m);
  }
}

bool WindowManager::menuInput(const InputEvent& e) {
  switch (e.type) {
    case InputEvent::Type::MouseMove: {
      pointer_ = {e.x, e.y};
      const int item = popup_.itemAt(e.x, e.y);
      if (item >= 0 || popup_.bounds().contains(e.x, e.y)) {
        if (item != popup_.hot()) {
          popup_.setHot(item);
          markPopupDirty();
        }
        return true;
      }
      // Sliding along the bar opens the menu under the pointer.
      const HitResult hit = hitTest(e.x, e.y);
      if (popup_.barIndex() >= 0 && hit.part == HitPart::MenuBar && hit.menuIndex >= 0 &&
          hit.menuIndex != popup_.barIndex())
        openBarMenu(hit.menuIndex);
      return true;
    }
    case InputEvent::Type::MouseDown: {
      pointer_ = {e.x, e.y};
      if (popup_.bounds().contains(e.x, e.y)) {
        popupPressed_ = true;
        return true;
      }
      const HitResult hit = hitTest(e.x, e.y);
      if (hit.part == HitPart::MenuBar && hit.menuIndex >= 0 && hit.menuIndex != popup_.barIndex()) {
        openBarMenu(hit.menuIndex);
        return true;
      }
      // Anywhere else the press only closes the menu.
      closeMenu();
      return true;
    }
    case InputEvent::Type::MouseUp: {
      pointer_ = {e.x, e.y};
      const int item = popup_.itemAt(e.x, e.y);
      // A release on the title that opened the menu leaves it open for a second click.
      if (item >= 0) chooseMenuItem(item);
      popupPressed_ = false;
      return true;
    }
    case InputEvent::Type::KeyDown:
      if (e.key == kKeyEscape) {
        closeMenu();
      } else if (e.key == kKeyDown || e.key == kKeyUp) {
        popup_.step(e.key == kKeyDown ? 1 : -1);
        markPopupDirty();
      } else if ((e.key == kKeyLeft || e.key == kKeyRight) && popup_.barIndex() >= 0 && !menus_.empty()) {
        const int n = static_cast<int>(menus_.size());
        openBarMenu((popup_.barIndex() + (e.key == kKeyRight ? 1 : n - 1)) % n);
      } else if (e.key == kKeyReturn && popup_.hot() >= 0) {
        chooseMenuItem(popup_.hot());
      } else if (const int item = popup_.itemWithLetter(e.character ? e.character : e.key); item >= 0) {
        // The key's own code serves where a backend types letters as separate text.
        chooseMenuItem(item);
      }
      return true;
    case InputEvent::Type::KeyUp:
    case InputEvent::Type::Text:
      return true;
    case InputEvent::Type::Command:
    case InputEvent::Type::CloseRequest:
      closeMenu();
      return false;
  }
  return false;
}

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
