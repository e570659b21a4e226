// Scan conversion in continuous coordinates: pixel (x, y) is the unit square whose
// centre is (x + 0.5, y + 0.5), and a pixel belongs to a shape when its centre does
// (left and top edges included, right and bottom excluded).
#pragma once
#include <vector>

#include "platform/raster/SpanCollector.h"

namespace platform {

struct PointF {
  double x = 0;
  double y = 0;
};

// Adds the inside of one or more closed polygons (counts[i] points each) to `spans`.
void ScanPolygons(SpanCollector& spans, const std::vector<PointF>& points,
                  const std::vector<int>& counts, FillRule rule);

// The pixels of row y whose centres lie inside the ellipse with centre (cx, cy) and radii
// rx, ry: [x0, x1), or false when there are none.
bool EllipseRow(double cx, double cy, double rx, double ry, int y, int* x0, int* x1);

// Adds a filled ellipse.
void ScanEllipse(SpanCollector& spans, double cx, double cy, double rx, double ry);

}  // namespace platform
