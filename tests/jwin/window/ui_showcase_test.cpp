// One window with a caption, text, widgets laid out by boxes and every drawing
// primitive, saved as tests/jwin/window/showcase.bmp in the build folder for people
// to look at. The checks are on pixels a reader can find in that picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "jindep/Ji_tempm.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/box.h"
#include "jwin/J_draw.h"
#include "jwin/J_gc.h"
#include "jwin/J_text.h"
#include "jwin/J_window.h"
#include "toolkit_fixture.h"

namespace {

constexpr int16_t kShapesTop = 70;

void SetColour(uint16_t r, uint16_t g, uint16_t b) {
  JColour c = {r, g, b};
  JSetForeColour(&c);
}

// Every primitive, left to right in two rows below the widgets.
void DrawShowcase(JWindow*) {
  SetColour(0, 0, 0);
  JDrawText(10, kShapesTop - 8, "Lines, shapes and text drawn through the toolkit");
  const int16_t y = kShapesTop;
  SetColour(0xFFFF, 0, 0);
  JDrawLine(10, y, 60, y + 50);
  const JPoint zigzag[] = {{y, 70}, {y + 50, 85}, {y, 100}, {y + 50, 115}};
  JDrawPolyline(zigzag, 4);
  SetColour(0, 0x8000, 0);
  const JPoint star[] = {{y, 150}, {y + 50, 130}, {y + 18, 170}, {y + 18, 130}, {y + 50, 170}};
  JDrawPolygon(star, 5);
  SetColour(0, 0, 0xFFFF);
  JDrawOval(180, y, 240, y + 50);
  JDrawArc(250, y, 310, y + 50, 310, y, 250, y);
  JDrawPie(320, y, 380, y + 50, 380, y + 25, 350, y);
  JDrawRoundRect(390, y, 450, y + 50, 16, 16);
  SetColour(0x8000, 0, 0x8000);
  JDrawRect(460, y, 520, y + 50);
  JFillRect(530, y, 590, y + 50);
  SetColour(0, 0, 0);
  for (int16_t i = 0; i < 50; i += 2) JSetPixel(600 + i, y + i);
}

class Showcase : public ToolkitTest {};

TEST_F(Showcase, WindowWithCaptionTextWidgetsInBoxesAndEveryPrimitive) {
  JTempMark();
  JWindow* window = JNewWindow(nullptr, "Drawing and widgets", kJWindowSizable);
  JSizeWindow(window, 680, 200);
  JSetHandler(window, kJSlotDraw, DrawShowcase);

  // A framed row of widgets, and a column of two toggles inside it.
  JWidget* row = JNewBox(window, nullptr, 10, 8);
  JBoxSetMargins(row, 4, 4, 4, 4);
  JBoxSetSpacing(row, 8);
  JWidget* label = JNewLabel(window, row, 0, 0, "Colours:");
  JWidget* field = JNewTextField(window, row, 0, 0, "256");
  JWidget* button = JNewButton(window, row, 0, 0, "Apply");
  JWidget* column = JNewBox(window, row, 0, 0);
  JBoxSetOrientation(column, false, 1);
  JBoxSetFramed(column, false);
  JWidget* first = JNewToggle(window, column, 0, 0, "Interlace");
  JWidget* second = JNewToggle(window, column, 0, 0, "Transparency");
  JSetToggleState(second, 1, false);
  for (JWidget* w : {label, field, button, first, second, column, row}) JShowWidget(w);
  JBoxLayoutAgain(column);
  JBoxLayoutAgain(row);
  JSizeWidget(row, 0, 0);
  JShowAndActivateWindow(window);
  drain();
  wm().compose();

  // The box placed its children left to right inside its frame and margins.
  EXPECT_LT(label->x + label->width, field->x);
  EXPECT_LT(field->x + field->width, button->x);
  EXPECT_LT(button->x + button->width, column->x);
  EXPECT_LT(first->y + first->height, second->y + 1);
  EXPECT_LE(column->x + column->width, row->x + row->width);

  const platform::Rect frame = screenFrame(window);
  const platform::Rect client = screenClient(window);
  auto at = [&](int x, int y) { return wm().screen().pixel(client.left + x, client.top + y); };
  // The caption above the client area carries the title's dark text.
  int dark = 0;
  for (int y = frame.top; y < client.top; ++y)
    for (int x = frame.left; x < frame.left + 200; ++x) dark += (wm().screen().pixel(x, y) & 0xFF) < 0x60;
  EXPECT_GT(dark, 20);
  // Both rectangles are solid purple, edge included; the pixel past the right edge is not.
  EXPECT_EQ(at(560, kShapesTop + 25), 0x7F007Fu);
  EXPECT_EQ(at(460, kShapesTop + 25), 0x7F007Fu);
  EXPECT_NE(at(590, kShapesTop + 25), 0x7F007Fu);
  // The pentagram's points are filled; the line starts where it was drawn from.
  EXPECT_EQ(at(150, kShapesTop + 2), 0x007F00u);
  EXPECT_EQ(at(10, kShapesTop), 0xFF0000u);

  const std::string dir = std::string(TINTWELL_BINARY_DIR) + "/tests/jwin/window";
  std::filesystem::create_directories(dir);
  std::string reason;
  EXPECT_TRUE(wm().screen().saveBmp(dir + "/showcase.bmp", &reason)) << reason;
  JDisposeWindow(window);
  drain();
  JTempRelease();
}

}  // namespace
