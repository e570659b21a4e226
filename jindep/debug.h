// The debug channel: check reports and debug text appended to the log file "debug".
// Nothing here is ever shown to the user; the program goes on after a report.
#pragma once
#include <cstdint>

void JDebugText(const char* text);
void JDebugNumber(int32_t value);
void JDebugReport(const char* sourceFile, int line, const char* message);
void JAssertFail(const char* sourceFile, int line);
void JDebugSetEnabled(bool on);
