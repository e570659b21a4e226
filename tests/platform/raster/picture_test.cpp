// Draws one picture with every primitive and some text and saves it for people to look at.
#include <gtest/gtest.h>

#include "RasterTestUtil.h"
#include "platform/dib/BmpWriter.h"

using namespace platform;
using namespace rastertest;

TEST(Picture, EveryPrimitiveSavedAsBitmapFile) {
  auto b = Make(400, 300);
  DeviceContext dc(b.get());
  dc.fillRect({0, 0, 400, 300}, Brush::Solid(0xF0F0E0));
  dc.setPen({PenStyle::Solid, 1, 0x000000});
  dc.setBrush(Brush::Solid(0xFF8040));
  dc.rectangle({10, 10, 90, 60});
  dc.setBrush(Brush::Hatched(Hatch::DiagonalCross, 0x0000C0));
  dc.roundRect({100, 10, 190, 60}, 20, 16);
  dc.setPen({PenStyle::Solid, 3, 0x008000});
  dc.setBrush(Brush::Solid(0xFFFF80));
  dc.ellipse({200, 10, 290, 70});
  dc.setPen({PenStyle::Solid, 1, 0x800000});
  dc.setBrush(Brush::Solid(0x80C0FF));
  dc.pie({300, 10, 390, 90}, {390, 50}, {345, 10});
  dc.chord({10, 80, 100, 150}, {100, 115}, {10, 115});
  dc.arc({110, 80, 200, 150}, {200, 115}, {110, 115});
  const Point star[5] = {{250, 80}, {276, 160}, {208, 110}, {292, 110}, {224, 160}};
  dc.setFillRule(FillRule::Winding);
  dc.polygon(star, 5);
  const uint8_t bricks[8] = {0x00, 0x7F, 0x7F, 0x7F, 0x00, 0xF7, 0xF7, 0xF7};
  dc.setTextColour(0x804020);
  dc.setBackgroundColour(0xE0C0A0);
  dc.setBrush(Brush::Pattern(bricks));
  dc.setPen({PenStyle::Dash, 1, 0});
  dc.rectangle({300, 100, 390, 160});
  dc.setPen({PenStyle::Solid, 5, 0xC000C0});
  const Point zig[5] = {{10, 170}, {50, 200}, {90, 170}, {130, 200}, {170, 170}};
  dc.polyline(zig, 5);
  dc.setPen({PenStyle::DashDot, 1, 0x000080});
  dc.line(10, 215, 390, 215);
  FontSpec fontSpec;
  fontSpec.face = "MS Sans Serif";
  fontSpec.height = 15;
  dc.setFont(Font::Create(fontSpec));
  dc.setBackgroundMode(BackgroundMode::Transparent);
  dc.setTextColour(0x000000);
  dc.textOut(10, 225, "Tintwell: Quality 99.99%  Maximum Error 12", 42);
  fontSpec.weight = 700;
  fontSpec.height = 24;
  dc.setFont(Font::Create(fontSpec));
  dc.setTextAlign(TextHAlign::Centre, TextVAlign::Baseline);
  dc.textOut(200, 280, "Number of Colours", 17);
  const std::string path = std::string(TINTWELL_BINARY_DIR) + "/raster_primitives.bmp";
  std::string reason;
  EXPECT_TRUE(dib::WriteBmpFile(*b, path, 24, &reason)) << reason;
  EXPECT_GT(CountNot(*b, 0xF0F0E0), 10000);
}
