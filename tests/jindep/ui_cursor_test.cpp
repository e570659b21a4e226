// The toolkit's cursor numbers show the desktop's four cursors and the program's own three.
#include <gtest/gtest.h>

#include "jindep/Ji_tidge_std.h"
#include "platform/wm/CursorArt.h"
#include "tests/jwin/window/toolkit_fixture.h"

namespace {

using platform::wm::CursorShape;

TEST_F(ToolkitTest, EachCursorNumberShowsItsShape) {
  const CursorShape shapes[] = {CursorShape::Arrow, CursorShape::Crosshair, CursorShape::IBeam, CursorShape::Busy,
                                CursorShape::Hand,  CursorShape::Magnifier, CursorShape::Dropper};
  for (int16_t n = 7; n >= 1; --n) {
    JSetCursor(n);
    JSetCursor(0);  // numbers outside 1 to 7 change nothing
    JSetCursor(8);
    EXPECT_EQ(JCurrentCursor(), n);
    EXPECT_EQ(input().cursor(), shapes[n - 1]) << n;
    // The program's own drawings point with a pixel they paint.
    const platform::wm::CursorArt* art = platform::wm::ArtOf(shapes[n - 1]);
    EXPECT_EQ(art != nullptr, n >= 5);
    if (art) EXPECT_NE(art->rows[art->hotY][art->hotX], ' ') << n;
  }
}

}  // namespace
