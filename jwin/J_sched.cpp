#include "jwin/J_sched.h"

#include "jindep/memory.h"
#include "jwin/J_clock.h"

struct JScheduled {
  JScheduleProc proc;
  void* data;  // pointer-sized: callers hand addresses
  int64_t due;  // on the unwrapped tick count
  JScheduled** owner;
  JScheduled* next;
};

namespace {

// The queue hangs off a static head record, in ascending order of due tick.
JScheduled head = {};

bool Unlink(JScheduled* record) {
  for (JScheduled* p = &head; p->next; p = p->next) {
    if (p->next == record) {
      p->next = record->next;
      record->next = nullptr;
      return true;
    }
  }
  return false;
}

void Disown(JScheduled* record) {
  if (record->owner && *record->owner == record) *record->owner = nullptr;
  record->owner = nullptr;
}

// Runs a record that is already unlinked, then frees it.
void Run(JScheduled* record) {
  Disown(record);
  record->proc(record->data);
  JFree(record);
}

}  // namespace

JScheduled* JSchedule(JScheduleProc proc, void* data, int32_t delay, JScheduled** owner) {
  JScheduled* record = static_cast<JScheduled*>(JAlloc(sizeof(JScheduled)));
  record->proc = proc;
  record->data = data;
  record->due = JTickCount64() + delay;
  record->owner = owner;
  if (owner) *owner = record;
  // Before the first record not earlier than this one: the newest goes first among equals.
  JScheduled* p = &head;
  while (p->next && p->next->due < record->due) p = p->next;
  record->next = p->next;
  p->next = record;
  return record;
}

void JCancelSchedule(JScheduled* record) {
  // The address is only compared until it is found queued, so a handle to a call that
  // already ran is never read or freed twice.
  if (!record || !Unlink(record)) return;
  Disown(record);
  JFree(record);
}

bool JAnythingScheduled() { return head.next != nullptr; }

int64_t JTimeToNextSchedule() {
  if (!head.next) return -1;
  const int64_t wait = head.next->due - JTickCount64();
  return wait < 0 ? 0 : wait;
}

bool JRunTimedCalls() {
  const int64_t now = JTickCount64();
  JScheduled* first = head.next;
  // Due ticks live on the unwrapped count, so a wrap of the 32-bit tick needs no
  // special order: a call due before the wrap is simply earlier.
  if (!first || first->due >= now) return false;
  head.next = first->next;
  first->next = nullptr;
  Run(first);
  return true;
}

uint32_t JScheduleDueTick(const JScheduled* record) { return static_cast<uint32_t>(record->due); }

void JClearSchedules() {
  while (JScheduled* r = head.next) {
    head.next = r->next;
    Disown(r);
    JFree(r);
  }
}
