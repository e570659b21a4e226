// Pixel spans gathered row by row, so that overlapping pieces of one shape (the
// segments of a wide line, a fill and its outline) touch each pixel once: a raster
// operation like XOR must not be applied twice.
#pragma once
#include <utility>
#include <vector>

#include "platform/raster/DeviceContext.h"

namespace platform {

class SpanCollector {
 public:
  // Only spans inside `bounds` are kept; an empty bounds keeps nothing.
  explicit SpanCollector(const Rect& bounds) : bounds_(bounds) {
    if (!bounds_.empty()) rows_.resize(static_cast<size_t>(bounds_.height()));
  }

  const Rect& bounds() const { return bounds_; }
  void add(int y, int x0, int x1) {
    if (y < bounds_.top || y >= bounds_.bottom) return;
    if (x0 < bounds_.left) x0 = bounds_.left;
    if (x1 > bounds_.right) x1 = bounds_.right;
    if (x0 >= x1) return;
    rows_[static_cast<size_t>(y - bounds_.top)].emplace_back(x0, x1);
    merged_ = false;
  }
  // Sorts each row and joins touching spans.
  void merge();
  // Removes every pixel of `other` (both are merged first).
  void subtract(SpanCollector& other);

  template <typename Sink>
  void forEach(Sink&& sink) {
    merge();
    for (size_t i = 0; i < rows_.size(); ++i) {
      for (const auto& [a, b] : rows_[i]) sink(bounds_.top + static_cast<int>(i), a, b);
    }
  }

 private:
  Rect bounds_;
  std::vector<std::vector<std::pair<int, int>>> rows_;
  bool merged_ = true;
};

}  // namespace platform
