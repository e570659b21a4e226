// What the desktop smoke tests share: finding the tools, running a shell script inside a
// virtual X server, and reading pixels of its screenshots.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string>
#include "tests/app/shell/config_home.h"

namespace smoke {

inline std::string Capture(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  return out;
}

inline std::string BinaryDir() { return TINTWELL_BINARY_DIR; }
inline std::string Program() { return BinaryDir() + "/tintwell"; }

// Why a desktop smoke test cannot run here, or "" when it can.
inline std::string SkipReason(std::initializer_list<const char*> tools) {
  for (const char* tool : tools)
    if (std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) != 0)
      return std::string(tool) + " is missing: the desktop smoke tests need it";
  if (!std::ifstream(Program()).good()) return "the program was not built: " + Program();
  return "";
}

// Script lines that start the program on the desktop backend (its pid in $pid). System
// libraries behind SDL keep a few blocks to the end, so leak checking is off for it.
inline std::string Launch(const std::string& arguments) {
  return "ASAN_OPTIONS=detect_leaks=0 '" + Program() + "' --backend sdl --screen 1280x800 " + arguments + " &\n"
         "pid=$!\n";
}

// Script lines that take a screenshot into `shot` every half second, for up to `seconds`,
// until the shell condition `until` holds.
inline std::string Poll(const std::string& shot, int seconds, const std::string& until) {
  return "for i in $(seq 1 " + std::to_string(seconds * 2) + "); do\n"
         "  import -window root '" + shot + "' 2>/dev/null\n"
         "  " + until + " && break\n"
         "  sleep 0.5\n"
         "done\n";
}

// A shell condition: the pixel at "x,y" of `shot` is "R,G,B".
inline std::string PixelIs(const std::string& shot, const std::string& at, const std::string& rgb) {
  return "convert '" + shot + "' -format '%[pixel:p{" + at + "}]' info: 2>/dev/null | grep -q '(" + rgb + ")'";
}

// Script lines that wait until the main window's caption at the top shows in `colour`.
inline std::string WaitForCaption(const std::string& shot, const std::string& colour) {
  return Poll(shot, 60, PixelIs(shot, "300,12", colour));
}

// Script lines that start the program on a picture and wait until its active caption
// shows in `shot`.
inline std::string StartProgram(const std::string& shot, const std::string& arguments) {
  return Launch(arguments) + WaitForCaption(shot, "10,36,106");
}

// Script lines that wait (up to `seconds`) until `shot` holds at least `count` pixels of
// the colour "R,G,B" and then print "found=" with the count.
inline std::string WaitForColour(const std::string& shot, const std::string& rgb, long count, int seconds) {
  return "n=0\n" +
         Poll(shot, seconds,
              "n=$(convert '" + shot + "' -format %c histogram:info:- 2>/dev/null | grep '(" + rgb +
                  ")' | awk '{s += $1} END {print s + 0}'); [ \"$n\" -ge " + std::to_string(count) + " ]") +
         "echo found=$n\n";
}

// Script lines that start the program with no picture and take it past what a person
// meets first: the splash (its caption grey while the splash has the focus), clicked away
// at the middle of the main window where it sits, and the Open dialog, cancelled with
// Escape once its caption shows; then they wait for the main window's active caption. The
// pointer ends at the top right corner, where the magnifier shows none of a document.
inline std::string StartWithoutPicture(const std::string& shot) {
  return Launch("") + WaitForCaption(shot, "128,128,128") + "xdotool mousemove 640 420 click 1\n" +
         WaitForColour(shot, "10,36,106", 5000, 30) + "xdotool key Escape\n" + WaitForCaption(shot, "10,36,106") +
         "xdotool mousemove 1270 5\n";
}

// Script lines that wait (up to 60 s) until the first document's preview is up: the screen
// shows the sample's many colours and the preview's caption, at the top left of the client
// area, is the active one.
inline std::string WaitForPreview(const std::string& shot) {
  return Poll(shot, 60, "[ \"$(convert '" + shot + "' -format %k info: 2>/dev/null || echo 0)\" -gt 5000 ] && " +
                            PixelIs(shot, "200,62", "10,36,106"));
}

// Script lines that wait (up to 30 s) until a dialog has taken the activation from the
// preview.
inline std::string WaitForDialog(const std::string& shot) {
  return Poll(shot, 30, "! " + PixelIs(shot, "200,62", "10,36,106"));
}

// Script lines that wait (up to 60 s) until the GIF file is written whole (its stream's
// trailer is there) and print "gif=1", or "gif=0" when it never is.
inline std::string WaitForGif(const std::string& gif) {
  return "written=0\n"
         "for i in $(seq 1 120); do\n"
         "  [ -f '" + gif + "' ] && [ \"$(tail -c 1 '" + gif + "' | od -An -tx1 | tr -d ' ')\" = 3b ] && written=1 && break\n"
         "  sleep 0.5\n"
         "done\n"
         "echo gif=$written\n";
}

// Script lines that end the program with Ctrl+Q and print its exit status ("hung" when
// it would not end).
inline std::string QuitProgram() {
  return "xdotool key ctrl+q\n"
         "for i in $(seq 1 60); do kill -0 $pid 2>/dev/null || break; sleep 0.5; done\n"
         "if kill -0 $pid 2>/dev/null; then kill $pid; echo status=hung; else wait $pid; echo status=$?; fi\n";
}

// Writes the script to the build folder (so no shell in between expands its variables)
// and runs it inside a 1280 x 800 virtual X server; answers what it printed.
inline std::string RunOnVirtualDesktop(const std::string& name, const std::string& script) {
  const std::string path = BinaryDir() + "/" + name + ".sh";
  {
    std::ofstream out(path);
    out << script;
  }
  return Capture("timeout 300 xvfb-run -a -s '-screen 0 1280x800x24' sh '" + path + "' 2>&1");
}

// The number printed after `key=` by a script, or -1.
inline long Printed(const std::string& out, const std::string& key) {
  const size_t at = out.rfind(key + "=");
  if (at == std::string::npos) return -1;
  return std::strtol(out.c_str() + at + key.size() + 1, nullptr, 10);
}

}  // namespace smoke
