// The debug channel: check reports and debug text appended to the log file "debug"
// in the current directory. Nothing here is ever shown to the user; the program
// goes on after a report. Each line starts with a 20-character timestamp, or 20
// blanks when the second has not changed and fewer than ten lines followed the last stamp.
#pragma once
#include <cstdint>

void JDebugText(const char* text);
void JDebugNumber(int32_t value);
// "file"   line #N 'message', line numbers aligned under the longest file name
// reported so far; a report from the same file as the previous one leaves the name blank.
void JDebugReport(const char* sourceFile, int line, const char* message);
void JAssertFail(const char* sourceFile, int line);
void JDebugSetEnabled(bool on);

// Seconds since the epoch used for the timestamps (null restores the system clock).
typedef int64_t (*JDebugClockProc)();
void JDebugSetClock(JDebugClockProc proc);
