// Starts the program on the desktop backend inside a virtual X server, takes a
// screenshot and closes the main window with the mouse.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "smoke_util.h"

TEST(Smoke, StartsShowsTheMainWindowAndQuitsByItsCloseBox) {
  const std::string missing = smoke::Missing({"xvfb-run", "xdotool", "import"});
  if (!missing.empty()) GTEST_SKIP() << missing << " is missing: the desktop smoke test needs it";
  if (!smoke::ProgramBuilt()) GTEST_SKIP() << "the program was not built: " << smoke::Program();
  const std::string shot = smoke::BinaryDir() + "/smoke_start.png";
  std::remove(shot.c_str());
  // The main window fills the 1280 x 800 screen; its close box sits at the caption's
  // right end. A loaded machine may take a while: the start waits for the active caption.
  const std::string script = smoke::StartProgram(shot, "") +
                             "xdotool mousemove 1266 14 click 1\n"
                             "for i in $(seq 1 60); do kill -0 $pid 2>/dev/null || break; sleep 0.5; done\n"
                             "if kill -0 $pid 2>/dev/null; then kill $pid; echo status=hung; else wait $pid; echo status=$?; fi\n";
  const std::string out = smoke::RunOnVirtualDesktop("smoke_start", script);
  EXPECT_NE(out.find("status=0"), std::string::npos) << out;
  ASSERT_TRUE(std::ifstream(shot).good()) << out;
  // The active caption's colour shows at the top of the screen.
  const std::string pixel = smoke::Capture("convert '" + shot + "' -format '%[pixel:p{300,12}]' info:");
  EXPECT_NE(pixel.find("(10,36,106)"), std::string::npos) << pixel;
}
