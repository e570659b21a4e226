#include "app/batch/BatchProgress.h"

#include <unistd.h>

#include <chrono>

#include "app/document/Progress.h"
#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"

namespace {

FILE* gLine = nullptr;
bool gShowing = false;
uint32_t gLastDrawn = 0;
std::chrono::steady_clock::time_point gStart;
// Reports shown on the line have this as their window: the progress reports need one to
// know they are showing, and nothing but this file ever looks at it.
char gLineMark;

uint32_t Ticks(void*) {
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - gStart).count());
}

void Draw(ProgressReport* report, bool force) {
  const uint32_t now = Ticks(nullptr);
  if (!force && now - gLastDrawn < 100) return;
  gLastDrawn = now;
  const int percent = report->total ? static_cast<int>(uint64_t{report->done} * 100 / report->total) : 0;
  char* text = JFormatNew(JStr(kStrBatchProgressLine), report->label, percent);
  // Back to the start of the line, the text, and the rest of the old line erased.
  fprintf(gLine, "\r%s\033[K", text);
  fflush(gLine);
  JFree(text);
  gShowing = true;
}

void Clear() {
  if (!gShowing) return;
  fputs("\r\033[K", gLine);
  fflush(gLine);
  gShowing = false;
}

void Create(void*, ProgressReport* report, JWindow*) { report->window = reinterpret_cast<JWindow*>(&gLineMark); }
void Show(void*, ProgressReport* report) { Draw(report, true); }
void Advance(void*, ProgressReport* report, uint32_t) { Draw(report, false); }
void Relabel(void*, ProgressReport* report) { Draw(report, true); }
void Close(void*, ProgressReport* report) {
  Clear();
  // An outer report still showing takes the line back.
  for (ProgressReport* r = report->outer; r; r = r->outer) {
    if (r->window) {
      Draw(r, true);
      break;
    }
  }
}

const ProgressHost kLineHost = {nullptr, Ticks,   nullptr, nullptr, Create,  Show,
                                Advance, nullptr, Relabel, nullptr, nullptr, Close};

}  // namespace

void BatchProgressStart(FILE* err) {
  if (!err || !isatty(fileno(err))) return;
  gLine = err;
  gStart = std::chrono::steady_clock::now();
  ProgressSetHost(&kLineHost);
}

void BatchProgressStop() {
  if (!gLine) return;
  Clear();
  ProgressSetHost(nullptr);
  gLine = nullptr;
}
