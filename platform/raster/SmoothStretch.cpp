// Smooth stretching of 32-bit copies: linear interpolation along an axis that grows,
// the average of the covered source pixels along an axis that shrinks. Writers expect
// it of the halftone stretch mode, which they use for small gradient bitmaps spread over
// large areas; the nearest-pixel stretch enlarges those as square blocks.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/raster/PaintInternal.h"

namespace platform {

namespace {

// The source pixels (and their weights) that make one destination pixel along an axis.
struct Taps {
  int first = 0;
  std::vector<double> weights;
};

// Taps for destination offsets 0 .. count - 1 over source pixels start .. start + sourceCount - 1,
// keeping only pixels inside 0 .. limit - 1 (weights renormalised; none when nothing is inside).
std::vector<Taps> AxisTaps(int count, int start, int sourceCount, int limit) {
  std::vector<Taps> taps(static_cast<size_t>(count));
  const double scale = static_cast<double>(sourceCount) / count;
  for (int u = 0; u < count; ++u) {
    std::vector<std::pair<int, double>> parts;
    if (sourceCount <= count) {
      const double centre = std::clamp((u + 0.5) * scale - 0.5, 0.0, sourceCount - 1.0);
      const int i = static_cast<int>(std::floor(centre));
      const double f = centre - i;
      parts.push_back({i, 1 - f});
      if (f > 0) parts.push_back({i + 1, f});
    } else {
      const double a = u * scale, b = (u + 1) * scale;
      for (int i = static_cast<int>(std::floor(a)); i < b && i < sourceCount; ++i)
        parts.push_back({i, std::min<double>(b, i + 1) - std::max<double>(a, i)});
    }
    double total = 0;
    Taps& t = taps[static_cast<size_t>(u)];
    t.first = start + parts.front().first;
    for (const auto& [i, w] : parts) {
      const int s = start + i;
      t.weights.push_back(s >= 0 && s < limit ? w : 0.0);
      total += t.weights.back();
    }
    if (total <= 0) t.weights.clear();
    for (double& w : t.weights) w /= total;
  }
  return taps;
}

}  // namespace

void SmoothStretch(Bitmap& target, const Bitmap& src, const Rect& dst, const Rect& srcRect, const Region& area) {
  const std::vector<Taps> columns = AxisTaps(dst.width(), srcRect.left, srcRect.width(), src.width());
  const std::vector<Taps> rows = AxisTaps(dst.height(), srcRect.top, srcRect.height(), src.height());
  for (const Rect& piece : area.rects()) {
    for (int Y = piece.top; Y < piece.bottom; ++Y) {
      const Taps& row = rows[static_cast<size_t>(Y - dst.top)];
      if (row.weights.empty()) continue;
      uint32_t* out = target.row32(Y);
      for (int X = piece.left; X < piece.right; ++X) {
        const Taps& col = columns[static_cast<size_t>(X - dst.left)];
        if (col.weights.empty()) continue;
        double sum[3] = {0, 0, 0};
        for (size_t j = 0; j < row.weights.size(); ++j) {
          if (row.weights[j] == 0) continue;
          const uint32_t* in = src.row32(row.first + static_cast<int>(j));
          for (size_t i = 0; i < col.weights.size(); ++i) {
            const double w = row.weights[j] * col.weights[i];
            const uint32_t p = in[col.first + static_cast<int>(i)];
            sum[0] += w * ((p >> 16) & 0xFF), sum[1] += w * ((p >> 8) & 0xFF), sum[2] += w * (p & 0xFF);
          }
        }
        auto channel = [](double v) { return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
        out[X] = (channel(sum[0]) << 16) | (channel(sum[1]) << 8) | channel(sum[2]);
      }
    }
  }
}

}  // namespace platform
