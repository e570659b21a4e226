// The progress window on the headless desktop: it appears only after the waiting
// time, nests beside its outer window, and is gone after the report ends.
#include <gtest/gtest.h>

#include "../../jwin/window/toolkit_fixture.h"
#include "app/document/Progress.h"
#include "app/shell/ProgressWindow.h"
#include "jindep/Ji_tempm.h"
#include "jindep/Ji_tidge_std.h"
#include "jwin/J_window.h"

namespace {

class ProgressWindow : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    InstallProgressWindows();
    JTempMark();
  }
  void TearDown() override {
    JTempRelease();
    RemoveProgressWindows();
    ToolkitTest::TearDown();
  }
};

// The busy cursor at once, the window only after the wait. The bar, full, is three quarters
// of the box's width and centred in the window: on the screen its fill runs exactly inside
// its edge, and nothing of it lies outside. A nested report's window sits 30 pixels right of
// and below its outer one; at the end all is gone.
TEST_F(ProgressWindow, AppearsAfterTheWaitWithItsBarCentredAndClosesAtTheEnd) {
  ProgressBegin("Reading File", 100);
  EXPECT_EQ(JCurrentCursor(), 4);
  clock().advance(1999);
  ProgressStep(10);
  EXPECT_EQ(ProgressCurrent()->window, nullptr);
  clock().advance(1100);
  ProgressStep(90);
  JWindow* window = ProgressCurrent()->window;
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(JWindowVisible(window));
  const JWidget* bar = static_cast<JWidget*>(ProgressCurrent()->bar);
  EXPECT_EQ(JProgressValue(bar), 100u);
  drain();
  const platform::Rect client = screenClient(window);
  const int barWidth = (client.width() - 10) * 3 / 4, left = (client.width() - barWidth) / 2;
  const int y = client.top + bar->y + 7;
  const platform::Colour fill = wm().screen().pixel(client.left + client.width() / 2, y);
  std::string seen;
  for (int x = client.left; x < client.right; ++x) seen += wm().screen().pixel(x, y) == fill ? '#' : '.';
  EXPECT_EQ(seen, std::string(left + 1, '.') + std::string(barWidth - 2, '#') +
                      std::string(client.width() - left - barWidth + 1, '.'));

  ProgressBegin("Saving File", 4);
  clock().advance(3000);
  ProgressStep(1);
  JWindow* inner = ProgressCurrent()->window;
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(screenFrame(inner).left - screenFrame(window).left, 30);
  EXPECT_EQ(screenFrame(inner).top - screenFrame(window).top, 30);
  ProgressEnd();
  ProgressEnd();
  EXPECT_EQ(ProgressCurrent(), nullptr);
  EXPECT_NE(JCurrentCursor(), 4);
  drain();
}

}  // namespace
