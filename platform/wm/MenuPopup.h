// An open drop-down menu: its items laid out below a menu title or a system box, the
// item under the pointer, and what it was opened from.
#pragma once
#include <vector>

#include "platform/raster/Geometry.h"
#include "platform/wm/Menu.h"
#include "platform/wm/Message.h"

namespace platform::wm {

class MenuPopup {
 public:
  static constexpr int kItemHeight = 20;
  static constexpr int kSeparatorHeight = 7;

  // Lays the items out with their top-left corner at `at`, kept inside `screen`.
  void open(std::vector<MenuItem> items, Point at, const Rect& screen, int barIndex, WindowId systemOf);
  void close() { open_ = false; }
  bool isOpen() const { return open_; }

  const Rect& bounds() const { return bounds_; }
  const std::vector<MenuItem>& items() const { return items_; }
  const std::vector<Rect>& itemRects() const { return itemRects_; }
  int hot() const { return hot_; }
  void setHot(int index) { hot_ = index; }
  // Moves the highlight to the next enabled item up or down, wrapping.
  void step(int direction);
  // The item at a screen point, or -1 (separators count as none).
  int itemAt(int x, int y) const;
  // The first enabled item whose keyboard letter is `c` (any case), or -1.
  int itemWithLetter(uint32_t c) const;
  int barIndex() const { return barIndex_; }  // -1 for a system menu
  WindowId systemOf() const { return systemOf_; }

 private:
  bool open_ = false;
  std::vector<MenuItem> items_;
  std::vector<Rect> itemRects_;
  Rect bounds_;
  int hot_ = -1;
  int barIndex_ = -1;
  WindowId systemOf_ = 0;
};

}  // namespace platform::wm
