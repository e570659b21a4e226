#include "platform/raster/SpanCollector.h"

#include <algorithm>

namespace platform {

void SpanCollector::merge() {
  if (merged_) return;
  for (auto& row : rows_) {
    if (row.size() < 2) continue;
    std::sort(row.begin(), row.end());
    size_t out = 0;
    for (size_t i = 1; i < row.size(); ++i) {
      if (row[i].first <= row[out].second) {
        row[out].second = std::max(row[out].second, row[i].second);
      } else {
        row[++out] = row[i];
      }
    }
    row.resize(out + 1);
  }
  merged_ = true;
}

void SpanCollector::subtract(SpanCollector& other) {
  merge();
  other.merge();
  for (size_t i = 0; i < rows_.size(); ++i) {
    const int y = bounds_.top + static_cast<int>(i);
    if (y < other.bounds_.top || y >= other.bounds_.bottom) continue;
    const auto& cut = other.rows_[static_cast<size_t>(y - other.bounds_.top)];
    if (cut.empty()) continue;
    std::vector<std::pair<int, int>> out;
    for (auto [a, b] : rows_[i]) {
      for (const auto& [c, d] : cut) {
        if (d <= a || c >= b) continue;
        if (c > a) out.emplace_back(a, c);
        a = std::max(a, d);
        if (a >= b) break;
      }
      if (a < b) out.emplace_back(a, b);
    }
    rows_[i].swap(out);
  }
}

}  // namespace platform
