// Dates and times as text, in local time. Both answer a new JAlloc string.
#pragma once
#include <cstdint>

// Style 1: "12/7/26"-like numeric month/day/year; style 3: full month name, day and
// four-digit year; any other style: short month name, day and year. Outside style 3
// years from 1900 to 1999 are written with two digits.
char* JFormatDate(int64_t seconds, int style);
// 12-hour clock with AM or PM, with or without the seconds.
char* JFormatTime(int64_t seconds, bool withSeconds);
