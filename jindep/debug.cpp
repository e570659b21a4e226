#include "jindep/debug.h"

#include <cstdio>

namespace {
bool gEnabled = true;

// The log is opened, appended to and closed for every line, so nothing is lost if the program dies.
void AppendLine(const char* text) {
  if (!gEnabled) return;
  FILE* f = fopen("debug", "ab");
  if (!f) return;
  fprintf(f, "%20s%s\r\n", "", text);
  fclose(f);
}
}  // namespace

void JDebugSetEnabled(bool on) { gEnabled = on; }

void JDebugText(const char* text) { AppendLine(text); }

void JDebugNumber(int32_t value) {
  char buf[16];
  snprintf(buf, sizeof buf, "%d", value);
  AppendLine(buf);
}

void JDebugReport(const char* sourceFile, int line, const char* message) {
  char buf[512];
  snprintf(buf, sizeof buf, "\"%s\" line #%d '%s'", sourceFile, line, message);
  AppendLine(buf);
}

void JAssertFail(const char* sourceFile, int line) { JDebugReport(sourceFile, line, "assertion failed"); }
