// The program's start as a person sees it: the Preferences window and its one setting.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "../../jwin/window/toolkit_fixture.h"
#include "app/shell/PreferencesWindow.h"
#include "app/shell/Settings.h"
#include "config_home.h"
#include "jindep/Ji_tidge.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/box.h"
#include "jindep/memory.h"
#include "jwin/J_window.h"

namespace {

std::string SettingsText() {
  char* p = SettingsPathNew();
  std::ifstream in(p, std::ios::binary);
  JFree(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class Start : public ToolkitTest {
 protected:
  void shoot(const char* name) { wm().screen().saveBmp(std::string(TINTWELL_BINARY_DIR) + "/" + name); }
};

TEST_F(Start, PreferencesCheckBoxIsSavedAtOnce) {
  SetShowDepthWarning(true);
  OpenPreferences();
  drain();
  JWindow* w = PreferencesWindow();
  ASSERT_NE(w, nullptr);
  OpenPreferences();  // a second opening brings the same window forward
  EXPECT_EQ(PreferencesWindow(), w);
  ASSERT_TRUE(w->widgetCount > 0 && JIsBox(w->widgets[0]));
  JWidget* toggle = JBoxChildAt(w->widgets[0], 0);
  ASSERT_NE(toggle, nullptr);
  EXPECT_EQ(JToggleState(toggle), 1);
  shoot("preferences.bmp");
  const platform::Rect client = screenClient(w);
  input().click(client.left + toggle->x + 6, client.top + toggle->y + toggle->height / 2);
  drain();
  EXPECT_FALSE(ShowDepthWarning());
  EXPECT_NE(SettingsText().find("startup:No\r\n"), std::string::npos) << SettingsText();
  JRequestClose(w);
  drain();
  EXPECT_EQ(PreferencesWindow(), nullptr);
}

}  // namespace
