#include "jindep/debug.h"

#include <time.h>

#include <cstdio>
#include <cstring>

#include "jindep/Ji_prinf.h"


namespace {

constexpr int kPrefixWidth = 20;
constexpr int kLinesPerStamp = 10;

bool gEnabled = true;
JDebugClockProc gClock = nullptr;
int64_t gLastSecond = -1;
int gLinesSinceStamp = 0;
size_t gLongestName = 0;
char gLastReportFile[256] = "";

int64_t Now() { return gClock ? gClock() : static_cast<int64_t>(time(nullptr)); }

void WriteBlanks(FILE* f, size_t n) {
  for (size_t i = 0; i < n; ++i) fputc(' ', f);
}

// The log is opened, appended to and closed for every line, so nothing is lost if
// the program dies. Answers null when the channel is off or the file cannot be had.
FILE* BeginLine() {
  if (!gEnabled) return nullptr;
  FILE* f = fopen("debug", "ab");
  if (!f) return nullptr;
  int64_t second = Now();
  if (second != gLastSecond || gLinesSinceStamp >= kLinesPerStamp) {
    time_t t = static_cast<time_t>(second);
    tm local;
    localtime_r(&t, &local);
    char stamp[64];
    JFormatIntoSized(stamp, sizeof stamp, "%ds%%c%%db2%%c%%db2% %db2%:%db02%:%db02% ", local.tm_year + 1900, '-',
                     local.tm_mon + 1, '-', local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    fputs(stamp, f);
    gLastSecond = second;
    gLinesSinceStamp = 0;
  } else {
    WriteBlanks(f, kPrefixWidth);
    ++gLinesSinceStamp;
  }
  return f;
}

void EndLine(FILE* f) {
  fputc('\n', f);
  fflush(f);
  fclose(f);
}

}  // namespace

void JDebugSetEnabled(bool on) { gEnabled = on; }

void JDebugSetClock(JDebugClockProc proc) { gClock = proc; }

void JDebugText(const char* text) {
  if (FILE* f = BeginLine()) {
    fputs(text, f);
    EndLine(f);
  }
}

void JDebugNumber(int32_t value) {
  char digits[16];
  JFormatInt(digits, value);
  JDebugText(digits);
}

void JDebugReport(const char* sourceFile, int line, const char* message) {
  FILE* f = BeginLine();
  if (!f) return;
  size_t nameLength = strlen(sourceFile);
  if (nameLength > gLongestName) gLongestName = nameLength;
  // One blank after the longest quoted name, so the line numbers form a column.
  size_t pad = gLongestName - nameLength + 1;
  if (strcmp(sourceFile, gLastReportFile) == 0) {
    WriteBlanks(f, nameLength + 2 + pad);
  } else {
    fputc('"', f);
    fputs(sourceFile, f);
    fputc('"', f);
    WriteBlanks(f, pad);
    size_t keep = nameLength < sizeof gLastReportFile - 1 ? nameLength : sizeof gLastReportFile - 1;
    memcpy(gLastReportFile, sourceFile, keep);
    gLastReportFile[keep] = 0;
  }
  char number[16];
  JFormatInt(number, line);
  fputs("line #", f);
  fputs(number, f);
  fputs(" '", f);
  fputs(message, f);
  fputc('\'', f);
  EndLine(f);
}

void JAssertFail(const char* sourceFile, int line) { JDebugReport(sourceFile, line, "Assertion failed"); }
