// The window manager's menus: the main frame's menu bar and system menus, opened from the
// bar or by the program, tracked with the pointer and keys until an item is chosen.
#include "platform/wm/WindowManager.h"

#include "platform/wm/FramePainter.h"
#include "platform/wm/Metrics.h"

namespace platform::wm {

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
    items.push_back({systemTexts_.closeDocument, kSystemClose});
    items.push_back({systemTexts_.nextWindow, kSystemNextWindow});
  } else {
    items.push_back({systemTexts_.closeWindow, kSystemClose});
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

}  // namespace platform::wm
