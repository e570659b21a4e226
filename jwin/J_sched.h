// Timed calls: procedures to run once their delay has passed, from the event loop,
// between messages. Periodic work reschedules itself from inside its procedure.
//
// Every call runs exactly once and never before its delay has passed, also across the
// wrap of the 32-bit tick count. Among calls due at the same tick the newest runs first.
#pragma once
#include <cstdint>

typedef void (*JScheduleProc)(void* data);
struct JScheduled;

// Schedules proc(data) for now + delay milliseconds. With an owner, *owner holds the
// record while it is queued and is cleared when the call runs (before the procedure, so
// a procedure that reschedules itself with the same owner keeps the new handle) or is
// cancelled: an owner never keeps a handle to a finished call.
JScheduled* JSchedule(JScheduleProc proc, void* data, int32_t delay, JScheduled** owner = nullptr);
// Unlinks and frees the record when it is still queued; a null or finished record is
// left alone.
void JCancelSchedule(JScheduled* record);
bool JAnythingScheduled();
// Milliseconds until the first call becomes due (0 when it is due now), or -1 when
// nothing is scheduled.
int64_t JTimeToNextSchedule();
// Runs at most one call whose due tick is earlier than now; answers whether one ran.
bool JRunTimedCalls();
// The due tick (32-bit, as the tick count shows it) of a queued record.
uint32_t JScheduleDueTick(const JScheduled* record);
// Frees every queued call without running it (toolkit shut-down).
void JClearSchedules();
