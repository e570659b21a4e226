// Starts the program on the desktop backend inside a virtual X server, takes a
// screenshot and closes the main window with the mouse.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

bool Have(const char* tool) {
  const std::string cmd = std::string("command -v ") + tool + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

std::string Capture(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  return out;
}

}  // namespace

TEST(Smoke, StartsShowsTheMainWindowAndQuitsByItsCloseBox) {
  for (const char* tool : {"xvfb-run", "xdotool", "import"})
    if (!Have(tool)) GTEST_SKIP() << tool << " is missing: the desktop smoke test needs it";
  const std::string dir = TINTWELL_BINARY_DIR;
  const std::string program = dir + "/tintwell";
  if (!std::ifstream(program).good()) GTEST_SKIP() << "the program was not built: " << program;
  const std::string shot = dir + "/smoke_start.png";
  std::remove(shot.c_str());
  // The main window fills the 1280 x 800 screen; its close box sits at the caption's
  // right end. System libraries behind SDL keep a few blocks to the end, so leak
  // checking is off for this run.
  // The script goes to a file so that no shell in between expands its variables.
  const std::string scriptPath = dir + "/smoke_start.sh";
  {
    std::ofstream script(scriptPath);
    script << "ASAN_OPTIONS=detect_leaks=0 '" << program << "' --backend sdl --screen 1280x800 &\n"
           << "pid=$!\n"
           // A loaded machine may take a while: wait until the active caption shows.
           << "for i in $(seq 1 120); do\n"
           << "  import -window root '" << shot << "' 2>/dev/null\n"
           << "  convert '" << shot << "' -format '%[pixel:p{300,12}]' info: 2>/dev/null | grep -q '(10,36,106)' && break\n"
           << "  sleep 0.5\n"
           << "done\n"
           << "xdotool mousemove 1266 14 click 1\n"
           << "for i in $(seq 1 60); do kill -0 $pid 2>/dev/null || break; sleep 0.5; done\n"
           << "if kill -0 $pid 2>/dev/null; then kill $pid; echo status=hung; else wait $pid; echo status=$?; fi\n";
  }
  const std::string out = Capture("timeout 180 xvfb-run -a -s '-screen 0 1280x800x24' sh '" + scriptPath + "' 2>&1");
  EXPECT_NE(out.find("status=0"), std::string::npos) << out;
  ASSERT_TRUE(std::ifstream(shot).good()) << out;
  // The active caption's colour shows at the top of the screen.
  const std::string pixel = Capture("convert '" + shot + "' -format '%[pixel:p{300,12}]' info:");
  EXPECT_NE(pixel.find("(10,36,106)"), std::string::npos) << pixel;
}
