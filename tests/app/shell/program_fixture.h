// The whole program on the headless desktop, started on a command line as a user starts
// it: a scratch folder for its files, its settings in a folder of their own, and steps
// that timed calls run while the program's own event loop runs.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/shell/MainRoutine.h"
#include "jindep/Ji_tidge.h"
#include "jwin/J_alert.h"
#include "jwin/J_event.h"
#include "jwin/J_file.h"
#include "jwin/J_platform.h"
#include "jwin/J_sched.h"
#include "jwin/toolkit_start.h"
#include "tests/app/shell/config_home.h"
#include "tests/jwin/file_dialog/dialog_script.h"
#include "tests/platform/dib/bmp_builder.h"

namespace program {

// A run ends by itself after this long, should a failing step not schedule the next.
constexpr uint32_t kTimeLimit = 60000;

inline std::string ScratchFolder() {
  char pattern[] = "/tmp/tintwell-program-XXXXXX";
  return mkdtemp(pattern) ? std::string(pattern) + "/" : std::string();
}
inline void RemoveFolder(const std::string& dir) { std::system(("rm -rf '" + dir + "'").c_str()); }

inline std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
  }
  return bytes;
}

inline void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// The text of the alert in front, or "" when there is none. An alert's widgets are its
// icon, its message (whose class data is the text) and its buttons.
inline std::string AlertShown() {
  JWindow* w = JActiveWindow();
  if (!w || !JAlertButton(w, true) || w->widgetCount < 2) return "";
  return static_cast<const char*>(w->widgets[1]->classData);
}

// Starts the program with `arguments` after its name, runs `first` after `delay` ms of
// its event loop, and returns when the loop has ended (by the program's own doing, or by
// the time limit); `atEnd` looks at the desktop before the toolkit shuts down.
inline void Run(std::vector<std::string> arguments, JScheduleProc first, uint32_t delay,
                const std::function<void()>& atEnd = {}) {
  static char name[] = "tintwell";
  std::vector<char*> argv = {name};
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  JStartValues v = {"headless", 800, 600, static_cast<int>(argv.size() - 1), argv.data(), 0, 0};
  ASSERT_TRUE(JToolkitInit(&v));
  JFileTypesInit();
  JSchedule(first, nullptr, delay);
  JSchedule([](void*) { JQuit(); }, nullptr, kTimeLimit);
  ApplicationMain();
  if (atEnd) atEnd();
  JToolkitShutdown();
}

}  // namespace program
