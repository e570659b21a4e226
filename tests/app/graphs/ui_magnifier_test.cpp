// The magnifier over a document: what it shows against the screen under the pointer, and
// when it copies the screen again.
#include <cstring>
#include <filesystem>

#include "app/graphs/MagnifierWidget.h"
#include "app/graphs/MagnifierWindow.h"
#include "tests/app/shell/documents_fixture.h"

namespace {

// Square widgets: the source's left and top are equal, and so are its right and bottom.
TEST(MagnifierGeometry, SourceAndDestinationForSeveralZooms) {
  const int16_t cases[][6] = {// side, zoom, source from, to, destination from, to
                              {104, 3, -16, 17, 2, 101},  // the window's: 33 pixels drawn 99
                              {104, 2, -24, 25, 3, 101}, {104, 4, -11, 12, 6, 98}, {64, 1, -30, 31, 1, 62},
                              {64, -2, -61, 62, 1, 62}};  // 123 shrunk to 61
  for (const auto& c : cases) {
    const MagnifierGeometry g = MagnifierGeometryFor(c[0], c[0], c[1]);
    const JRect source = JRectMake(c[2], c[2], c[3], c[3]), destination = JRectMake(c[4], c[4], c[5], c[5]);
    EXPECT_EQ(std::memcmp(&g.source, &source, sizeof(JRect)), 0) << c[0] << " zoom " << c[1];
    EXPECT_EQ(std::memcmp(&g.destination, &destination, sizeof(JRect)), 0) << c[0] << " zoom " << c[1];
  }
}

class Magnifier : public DocumentsTest {
 protected:
  // The pointer moved to a point of the main window's content, then `ms` of steps with
  // the clock moving (one timed call runs a step).
  void pointAt(int x, int y, uint32_t ms, uint8_t modifiers = 0) {
    input().mouseMove(JMainWindowContent().left + x, JMainWindowContent().top + y, modifiers);
    for (uint32_t t = 0; t < ms; t += 10) {
      clock().advance(10);
      for (int i = 0; i < 3; ++i) JEventStep(nullptr, false);
    }
    wm().compose();
  }
  uint32_t lastCopy() { return MagnifierStateOf(MagnifierWindow()->widgets[0])->lastTick; }
  uint32_t underPointer(int x, int y) {
    return wm().screen().pixel(JMainWindowContent().left + x, JMainWindowContent().top + y) & 0xFFFFFF;
  }
  // Content pixel (3k, 3k) shows source pixel k, 16 left of and above the pointer at k = 0;
  // the crosshair runs along row and column 49, the middle of the pointer's pixel.
  uint32_t magnified(int k, int l) { return shown(MagnifierWindow(), 3 * k, 3 * l) & 0xFFFFFF; }
};

TEST_F(Magnifier, ShowsTheScreenUnderThePointerEnlargedAndBlackBeyondTheMainWindow) {
  writeBmp("scene.bmp", 120, 90, Pattern(120, 90, 40));
  ASSERT_TRUE(open("scene.bmp"));
  ShowMagnifier(false);
  ASSERT_TRUE(MagnifierWindow() && JActiveWindow() != MagnifierWindow());
  const platform::Rect preview = client(ActiveDocument()->window);
  const int px = preview.left - JMainWindowContent().left + 40, py = preview.top - JMainWindowContent().top + 30;
  pointAt(px, py, 60);
  for (int k : {0, 5, 16, 20, 32}) EXPECT_EQ(magnified(k, k), underPointer(px - 16 + k, py - 16 + k)) << k;
  std::filesystem::create_directories(TINTWELL_BINARY_DIR);
  wm().screen().saveBmp(std::string(TINTWELL_BINARY_DIR) + "/magnifier.bmp");
  pointAt(3, 2, 60);
  EXPECT_EQ(magnified(0, 0) | magnified(10, 0), 0u);  // left of and above the main window
  EXPECT_EQ(magnified(16, 15), underPointer(3, 1));
}

TEST_F(Magnifier, AStillPointerIsCopiedOnceASecondAndShiftStopsTheMarch) {
  ShowMagnifier(true);
  pointAt(100, 100, 60);
  const uint32_t first = lastCopy();
  pointAt(100, 100, 900);
  EXPECT_EQ(lastCopy(), first);  // a still pointer elsewhere: no copy within the second
  pointAt(100, 100, 150);
  EXPECT_NE(lastCopy(), first);
  const MagnifierState* s = MagnifierStateOf(MagnifierWindow()->widgets[0]);
  const int16_t phase = s->phase;
  const uint32_t moved = clock().ticks();
  pointAt(101, 100, 300, platform::wm::kShift);
  EXPECT_GE(lastCopy(), moved);  // the move was copied
  EXPECT_EQ(s->phase, phase);
  // Over the magnifier itself every refresh copies.
  const JRect own = JGetWindowFrame(MagnifierWindow());
  pointAt(own.left + 20, own.bottom - 20, 60);
  const uint32_t over = lastCopy();
  pointAt(own.left + 20, own.bottom - 20, 60);
  EXPECT_GT(lastCopy(), over);
}

}  // namespace
