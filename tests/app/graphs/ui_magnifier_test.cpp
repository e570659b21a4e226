// The magnifier over a document: what it shows against the screen under the pointer, and
// when it copies the screen again.
#include <cstring>
#include <filesystem>

#include "app/graphs/MagnifierWidget.h"
#include "app/graphs/MagnifierWindow.h"
#include "jwin/J_clock.h"
#include "tests/app/shell/documents_fixture.h"

namespace {

TEST(MagnifierGeometry, SourceAndDestinationForSeveralZooms) {
  const struct {
    int16_t side, zoom;
    JRect source, destination;
  } cases[] = {
      {104, 3, JRectMake(-16, -16, 17, 17), JRectMake(2, 2, 101, 101)},  // the window's: 33 drawn 99
      {104, 2, JRectMake(-24, -24, 25, 25), JRectMake(3, 3, 101, 101)},
      {104, 4, JRectMake(-11, -11, 12, 12), JRectMake(6, 6, 98, 98)},
      {64, 1, JRectMake(-30, -30, 31, 31), JRectMake(1, 1, 62, 62)},
      {64, -2, JRectMake(-61, -61, 62, 62), JRectMake(1, 1, 62, 62)},  // 123 shrunk to 61
  };
  for (const auto& c : cases) {
    const MagnifierGeometry g = MagnifierGeometryFor(c.side, c.side, c.zoom);
    EXPECT_EQ(std::memcmp(&g.source, &c.source, sizeof(JRect)), 0) << c.side << " zoom " << c.zoom;
    EXPECT_EQ(std::memcmp(&g.destination, &c.destination, sizeof(JRect)), 0) << c.side << " zoom " << c.zoom;
  }
}

class Magnifier : public DocumentsTest {
 protected:
  // Steps with the clock moving, so the magnifier's timed calls run.
  void wait(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += 10) {
      clock().advance(10);
      for (int i = 0; i < 3; ++i) JEventStep(nullptr, false);  // one timed call a step
    }
    wm().compose();
  }
  MagnifierState* state() { return MagnifierStateOf(MagnifierWindow()->widgets[0]); }
  void pointAt(int x, int y) {
    const JRect area = JMainWindowContent();
    input().mouseMove(area.left + x, area.top + y);
    drain();
  }
  // The screen pixel under a point of the main window's content.
  uint32_t underPointer(int x, int y) {
    const JRect area = JMainWindowContent();
    return wm().screen().pixel(area.left + x, area.top + y) & 0xFFFFFF;
  }
  uint32_t magnified(int x, int y) { return shown(MagnifierWindow(), x, y) & 0xFFFFFF; }
};

TEST_F(Magnifier, ShowsTheScreenUnderThePointerEnlargedAndBlackBeyondTheMainWindow) {
  writeBmp("scene.bmp", 120, 90, Pattern(120, 90, 40));
  ASSERT_TRUE(open("scene.bmp"));
  ShowMagnifier(false);
  ASSERT_TRUE(MagnifierWindow());
  EXPECT_NE(JActiveWindow(), MagnifierWindow());
  const platform::Rect preview = client(ActiveDocument()->window);
  const JRect area = JMainWindowContent();
  const int px = preview.left - area.left + 40, py = preview.top - area.top + 30;
  pointAt(px, py);
  wait(60);
  // Content pixel (3k, 3k) shows source pixel k, 16 left of and above the pointer at k = 0;
  // the crosshair runs along row and column 49, the middle of the pointer's pixel.
  for (int k : {0, 5, 16, 20, 32}) EXPECT_EQ(magnified(3 * k, 3 * k), underPointer(px - 16 + k, py - 16 + k)) << k;
  std::filesystem::create_directories(TINTWELL_BINARY_DIR);
  wm().screen().saveBmp(std::string(TINTWELL_BINARY_DIR) + "/magnifier.bmp");

  pointAt(3, 2);
  wait(60);
  EXPECT_EQ(magnified(0, 0), 0u);       // left of and above the main window
  EXPECT_EQ(magnified(3 * 10, 0), 0u);  // above it
  EXPECT_EQ(magnified(3 * 16, 3 * 15), underPointer(3, 1));
}

TEST_F(Magnifier, AStillPointerIsCopiedOnceASecondAndShiftStopsTheMarch) {
  ShowMagnifier(true);
  pointAt(100, 100);
  wait(60);
  const uint32_t copied = state()->lastTick;
  wait(900);
  EXPECT_EQ(state()->lastTick, copied);  // still pointer elsewhere: no copy within the second
  wait(150);
  EXPECT_NE(state()->lastTick, copied);
  pointAt(101, 100);
  const uint32_t moved = JTickCount();
  wait(60);
  EXPECT_GE(state()->lastTick, moved);  // a move is copied at the next refresh
  const int16_t phase = state()->phase;
  input().mouseMove(JMainWindowContent().left + 101, JMainWindowContent().top + 100, platform::wm::kShift);
  drain();
  wait(300);
  EXPECT_EQ(state()->phase, phase);
  // Over the magnifier itself every refresh copies.
  const platform::Rect own = client(MagnifierWindow());
  input().mouseMove(own.left + 10, own.top + 10);
  drain();
  const uint32_t over = state()->lastTick;
  wait(60);
  const uint32_t next = state()->lastTick;
  wait(60);
  EXPECT_TRUE(over < next && next < state()->lastTick);
}

}  // namespace
