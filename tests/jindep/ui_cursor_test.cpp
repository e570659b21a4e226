// The toolkit's cursor numbers show the desktop's four cursors and the program's own three.
#include <gtest/gtest.h>

#include "jindep/Ji_tidge_std.h"
#include "platform/wm/CursorArt.h"
#include "tests/jwin/window/toolkit_fixture.h"

using platform::wm::CursorShape;

TEST_F(ToolkitTest, EachCursorNumberShowsItsShape) {
  const CursorShape shapes[] = {CursorShape::Arrow, CursorShape::Crosshair, CursorShape::IBeam, CursorShape::Busy,
                                CursorShape::Hand,  CursorShape::Magnifier, CursorShape::Dropper};
  for (int16_t n : {7, 6, 5, 4, 3, 2, 1}) {
    JSetCursor(n);
    JSetCursor(8);  // numbers outside 1 to 7 change nothing
    EXPECT_EQ(JCurrentCursor(), n);
    EXPECT_EQ(input().cursor(), shapes[n - 1]) << n;
    const platform::wm::CursorArt* art = platform::wm::ArtOf(shapes[n - 1]);  // ours point with a painted pixel
    EXPECT_TRUE(n < 5 ? !art : art->rows[art->hotY][art->hotX] != ' ') << n;
  }
}
