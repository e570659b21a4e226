// Values from outside data reach the painter unchecked (metafiles are drawn through it):
// extreme coordinates, sizes and pen widths must neither crash, nor write outside the
// bitmap, nor take long.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "RasterTestUtil.h"

using namespace platform;
using namespace rastertest;

namespace {

int Extreme(std::mt19937& rng) {
  static const int values[] = {INT_MIN, INT_MIN + 1, -1000000000, -70000, -32768, -1, 0, 1, 7, 31, 32767,
                               65535, 1000000000, INT_MAX - 1, INT_MAX};
  return rng() % 3 == 0 ? static_cast<int>(rng() % 64) - 16 : values[rng() % std::size(values)];
}

TEST(Extremes, PrimitivesWithHugeValuesStayInsideTheBitmap) {
  std::mt19937 rng(99);
  for (int depth : {32, 8, 1}) {
    auto b = Make(48, 40, depth);
    auto other = Make(16, 16, depth);
    DeviceContext dc(b.get());
    DeviceContext src(other.get());
    FontSpec fontSpec;
    fontSpec.height = 15;
    dc.setFont(Font::Create(fontSpec));
    for (int round = 0; round < 400; ++round) {
      dc.setOrigin({Extreme(rng) % 100, Extreme(rng) % 100});
      dc.setPen({static_cast<PenStyle>(rng() % 7), rng() % 5 == 0 ? Extreme(rng) : static_cast<int>(rng() % 6),
                 static_cast<Colour>(rng() & 0xFFFFFF)});
      dc.setRop2(1 + static_cast<int>(rng() % 16));
      if (rng() % 4 == 0) dc.setClipRect({Extreme(rng), Extreme(rng), Extreme(rng), Extreme(rng)});
      if (rng() % 4 == 0) dc.removeClip();
      const Rect r{Extreme(rng), Extreme(rng), Extreme(rng), Extreme(rng)};
      const Point p0{Extreme(rng), Extreme(rng)}, p1{Extreme(rng), Extreme(rng)};
      const Point poly[4] = {p0, p1, {Extreme(rng), Extreme(rng)}, {Extreme(rng), Extreme(rng)}};
      switch (round % 14) {
        case 0: dc.rectangle(r); break;
        case 1: dc.ellipse(r); break;
        case 2: dc.roundRect(r, Extreme(rng), Extreme(rng)); break;
        case 3: dc.pie(r, p0, p1); break;
        case 4: dc.chord(r, p0, p1); break;
        case 5: dc.arc(r, p0, p1); break;
        case 6: dc.polygon(poly, 4); break;
        case 7: dc.polyline(poly, 4); break;
        case 8: dc.fillRect(r, Brush::Hatched(Hatch::Cross, 0)); break;
        case 9: dc.invertRect(r); break;
        case 10: dc.stretchBlt(r.left, r.top, r.right, r.bottom, src, p0.x, p0.y, p1.x, p1.y, rop3::SrcCopy); break;
        case 11: dc.bitBlt(r.left, r.top, r.right, r.bottom, dc, p0.x, p0.y, rop3::SrcInvert); break;
        case 12: dc.textOut(p0.x, p0.y, "Extreme", 7); break;
        case 13: dc.setPixel(p0.x, p0.y, 0); break;
      }
    }
  }
}

}  // namespace
