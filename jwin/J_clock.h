// The tick count in milliseconds and waiting.
#pragma once
#include <cstdint>

// Milliseconds, wrapping at 2^32 like the platform's count.
uint32_t JTickCount();
// The same count without the wrap: every wrap seen adds 2^32. Read at least once every
// 49 days (the event loop reads it every step), it never goes backwards.
int64_t JTickCount64();
// Sleeps in a loop until that many ticks have passed.
void JWait(uint32_t ms);
