// Running out of memory while the program handles input: the alert must answer the keys
// typed after the one that ran memory out, then the process ends with its failure code.
// Each case runs in a child process with an alarm, so a hang fails instead of blocking.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/shell/MainRoutine.h"
#include "app/shell/OutOfMemory.h"
#include "jindep/Ji_tidge.h"
#include "jindep/memory.h"
#include "jwin/J_alert.h"
#include "jwin/J_event.h"
#include "jwin/J_file.h"
#include "jwin/J_platform.h"
#include "jwin/J_sched.h"
#include "jwin/J_window.h"
#include "jwin/toolkit_start.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "tests/platform/dib/bmp_builder.h"
#include "tests/app/shell/config_home.h"

namespace {

constexpr unsigned kAlarmSeconds = 10;

platform::backend::HeadlessBackend& Input() {
  return static_cast<platform::backend::HeadlessBackend&>(platform::wm::Desktop::Current()->backend());
}

// Every key that reaches an alert is reported on stderr with the alert's message and
// the beeps so far, which the parent matches.
bool ReportAlertKey(void*, JKeyEvent*) {
  JWindow* w = JActiveWindow();
  if (w && JAlertButton(w, true) && w->widgetCount >= 2)
    std::fprintf(stderr, "[beeps %d, two buttons %d: %s]", JWindowManager().beepCount(),
                 JAlertButton(w, false) != nullptr, static_cast<const char*>(w->widgets[1]->classData));
  return false;
}

// Typing x in this window asks for memory that is not there.
void ExhaustOnX(JWindow*, JKeyEvent* key) {
  if (key->character != 'x') return;
  JMemFailNextAllocations(2);
  JFree(JAlloc(64));
  std::fprintf(stderr, "[the allocation returned]");
}

// Starts a desktop with one window, types x and then `answer`, and runs the event loop.
[[noreturn]] void RunOutOfMemory(const char* answer) {
  alarm(kAlarmSeconds);
  static char program[] = "tintwell";
  static char* argv[] = {program, nullptr};
  JStartValues v = {"headless", 800, 600, 1, argv, 0};
  if (!JToolkitInit(&v)) _exit(70);
  InstallOutOfMemoryAlert();
  JMemSetEmergencyReserve(65536);
  JSetKeyFilter(ReportAlertKey, nullptr);
  JWindow* w = JNewWindow(nullptr, "Typing", kJWindowSizable);
  JSetHandler(w, kJSlotKeyDown, ExhaustOnX);
  JShowAndActivateWindow(w);
  // Everything is typed at once, before the alert exists.
  Input().key('x', 'x');
  for (const char* c = answer; *c; ++c) Input().key(static_cast<uint16_t>(*c), static_cast<uint32_t>(*c));
  for (;;) JEventStep(nullptr, true);
}

// In the running program, with a document open: memory runs out in a timed call.
void ExhaustNow(void*) {
  JSetKeyFilter(ReportAlertKey, nullptr);
  Input().key(platform::wm::kKeyReturn, '\r');
  JMemFailNextAllocations(2);
  JFree(JAlloc(64));
  std::fprintf(stderr, "[the allocation returned]");
}

[[noreturn]] void RunProgramOutOfMemory(const std::string& picture) {
  alarm(kAlarmSeconds);
  static char program[] = "tintwell";
  std::string path = picture;
  char* argv[] = {program, path.data(), nullptr};
  JStartValues v = {"headless", 800, 600, 2, argv, 0};
  if (!JToolkitInit(&v)) _exit(70);
  JFileTypesInit();
  JSchedule(ExhaustNow, nullptr, 300);
  ApplicationMain();
  std::fprintf(stderr, "[the program ended by itself]");
  _exit(0);
}

}  // namespace

TEST(OutOfMemoryDeathTest, TheProgramShowsTheAlertWhereverMemoryRunsOut) {
  char pattern[] = "/tmp/tintwell-memory-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = std::string(pattern) + "/";
  BmpSpec s;
  s.width = 16;
  s.height = 12;
  for (int i = 0; i < s.width * s.height; ++i) s.pixels.push_back(static_cast<uint32_t>(i % 7) * 0x202020);
  const std::vector<uint8_t> bytes = BuildBmp(s);
  FILE* f = std::fopen((dir + "start.bmp").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  EXPECT_EXIT(RunProgramOutOfMemory(dir + "start.bmp"), ::testing::ExitedWithCode(kJOutOfMemoryExitCode),
              "^\\[beeps 1, two buttons 1: [^]]*Out of memory[^]]*\\]$");
  std::system(("rm -rf '" + dir + "'").c_str());
}

TEST(OutOfMemoryDeathTest, MoreInfoExplainsInASecondAlertBeforeTheEnd) {
  EXPECT_EXIT(RunOutOfMemory("\x1b\r"), ::testing::ExitedWithCode(kJOutOfMemoryExitCode),
              "^\\[beeps 1, two buttons 1: [^]]*Out of memory[^]]*\\]"
              "\\[beeps 1, two buttons 0: Tintwell cannot operate without enough memory\\. [^]]*\\]$");
}
