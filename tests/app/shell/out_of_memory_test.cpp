// Running out of memory while the program handles input: the alert must answer the keys
// typed after the one that ran memory out, then the process ends with its failure code.
// Each case runs in a child process with an alarm, so a hang fails instead of blocking.
#include <unistd.h>

#include "app/shell/OutOfMemory.h"
#include "jindep/memory.h"
#include "jwin/J_window.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "tests/app/shell/program_fixture.h"

namespace {

constexpr unsigned kAlarmSeconds = 10;

platform::backend::HeadlessBackend& Input() { return HeadlessInput(); }

// Every key that reaches an alert is reported on stderr with the alert's message and
// the beeps so far, which the parent matches.
bool ReportAlertKey(void*, JKeyEvent*) {
  const std::string shown = program::AlertShown();
  if (!shown.empty())
    std::fprintf(stderr, "[beeps %d, two buttons %d: %s]", JWindowManager().beepCount(),
                 JAlertButton(JActiveWindow(), false) != nullptr, shown.c_str());
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
  JStartValues v = {"headless", 800, 600, 1, argv, 0, 0};
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
  program::Run({picture}, ExhaustNow, 300);
  std::fprintf(stderr, "[the program ended by itself]");
  _exit(0);
}

}  // namespace

TEST(OutOfMemoryDeathTest, TheProgramShowsTheAlertWhereverMemoryRunsOut) {
  const std::string dir = program::ScratchFolder();
  BmpSpec s;
  s.width = 16;
  s.height = 12;
  s.pixels.assign(16 * 12, 0x303030);
  program::WriteAll(dir + "start.bmp", BuildBmp(s));
  EXPECT_EXIT(RunProgramOutOfMemory(dir + "start.bmp"), ::testing::ExitedWithCode(kJOutOfMemoryExitCode),
              "^\\[beeps 1, two buttons 1: [^]]*Out of memory[^]]*\\]$");
  program::RemoveFolder(dir);
}

TEST(OutOfMemoryDeathTest, MoreInfoExplainsInASecondAlertBeforeTheEnd) {
  EXPECT_EXIT(RunOutOfMemory("\x1b\r"), ::testing::ExitedWithCode(kJOutOfMemoryExitCode),
              "^\\[beeps 1, two buttons 1: [^]]*Out of memory[^]]*\\]"
              "\\[beeps 1, two buttons 0: Tintwell cannot operate without enough memory\\. [^]]*\\]$");
}
