#include "platform/wm/MenuPopup.h"

#include <algorithm>
#include <cctype>

#include "platform/wm/CaptionFont.h"

namespace platform::wm {

void MenuPopup::open(std::vector<MenuItem> items, Point at, const Rect& screen, int barIndex, WindowId systemOf) {
  items_ = std::move(items);
  barIndex_ = barIndex;
  systemOf_ = systemOf;
  hot_ = -1;
  open_ = true;
  // Room for a check mark on the left, the label, a gap and the shortcut on the right.
  int width = 120;
  for (const MenuItem& item : items_) {
    const MenuLabel l = MenuLabel::Parse(item.label);
    const int w = 22 + CaptionFont::Width(l.text) + (l.shortcut.empty() ? 0 : 24 + CaptionFont::Width(l.shortcut)) + 16;
    width = std::max(width, w);
  }
  int height = 4;
  for (const MenuItem& item : items_) height += item.separator ? kSeparatorHeight : kItemHeight;
  int left = std::min(at.x, screen.right - width);
  int top = std::min(at.y, screen.bottom - height);
  left = std::max(left, screen.left);
  top = std::max(top, screen.top);
  bounds_ = {left, top, left + width, top + height};
  itemRects_.clear();
  int y = top + 2;
  for (const MenuItem& item : items_) {
    const int h = item.separator ? kSeparatorHeight : kItemHeight;
    itemRects_.push_back({left + 2, y, left + width - 2, y + h});
    y += h;
  }
}

void MenuPopup::step(int direction) {
  const int n = static_cast<int>(items_.size());
  if (n == 0) return;
  int i = hot_;
  for (int tries = 0; tries < n; ++tries) {
    i = i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
    if (!items_[i].separator && items_[i].enabled) {
      hot_ = i;
      return;
    }
  }
}

int MenuPopup::itemAt(int x, int y) const {
  if (!open_) return -1;
  for (size_t i = 0; i < itemRects_.size(); ++i)
    if (itemRects_[i].contains(x, y)) return items_[i].separator ? -1 : static_cast<int>(i);
  return -1;
}

int MenuPopup::itemWithLetter(uint32_t c) const {
  if (!open_ || c == 0 || c > 127) return -1;
  const int wanted = std::tolower(static_cast<int>(c));
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].separator || !items_[i].enabled) continue;
    const MenuLabel label = MenuLabel::Parse(items_[i].label);
    if (label.underline >= 0 &&
        std::tolower(static_cast<unsigned char>(label.text[static_cast<size_t>(label.underline)])) == wanted)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace platform::wm
