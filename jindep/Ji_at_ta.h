// Tables with reusable positions: a slot table of word entries, a pool of numeric
// identifiers and a pool of fixed-size records. Positions and counts are 32-bit;
// kJNone ends a chain and marks "nothing".
#pragma once
#include <cstddef>
#include <cstdint>

#include "jindep/Ji_at_ar.h"

constexpr uint32_t kJNone = UINT32_MAX;

// Entries are pointer-sized words. A removed slot holds the index of the next free
// slot, so the most recently removed slot is the first to be reused.
struct JSlotTable {
  uintptr_t* entries;
  uint8_t* freeFlags;
  uint32_t count;
  uint32_t capacity;
  uint32_t freeHead;
};

void JSlotTableInit(JSlotTable* table);
void JSlotTableFree(JSlotTable* table);
// Stores the value in a free slot (or a new one) and answers its index.
uint32_t JSlotTableAdd(JSlotTable* table, uintptr_t value);
// The entry at `index`; 0 (reported) past the end or for a free slot.
uintptr_t JSlotTableAt(const JSlotTable* table, uint32_t index);
void JSlotTableSet(JSlotTable* table, uint32_t index, uintptr_t value);
void JSlotTableRemove(JSlotTable* table, uint32_t index);
bool JSlotTableInUse(const JSlotTable* table, uint32_t index);

// Identifiers 1, 2, 3, ... handed out and taken back; the most recently released
// identifier is the next one taken.
struct JIdPool {
  JVector released;
  uint32_t last;
  uint32_t limit;
};

void JIdPoolInit(JIdPool* pool);
void JIdPoolFree(JIdPool* pool);
// Answers 0 when every identifier up to the limit is in use.
uint32_t JIdPoolTake(JIdPool* pool);
void JIdPoolRelease(JIdPool* pool, uint32_t id);

// A fixed number of records with a payload of `payloadSize` bytes each, chained as
// free or in use.
struct JRecordPool {
  uint8_t* payloads;
  uint8_t* inUse;
  uint32_t* next;
  uint32_t* previous;
  size_t payloadSize;
  uint32_t capacity;
  uint32_t used;
  uint32_t freeHead;
  uint32_t usedHead;
};

void JRecordPoolInit(JRecordPool* pool, uint32_t capacity, size_t payloadSize);
void JRecordPoolFree(JRecordPool* pool);
// Copies the payload into a free record and answers its index, or -1 when the pool is full.
int64_t JRecordPoolTake(JRecordPool* pool, const void* payload);
void JRecordPoolRelease(JRecordPool* pool, uint32_t index);
// The payload of a record in use, or null (reported) otherwise.
void* JRecordPoolPayload(const JRecordPool* pool, uint32_t index);
// Walks the records in use, most recently taken first: pass kJNone to start; kJNone at the end.
uint32_t JRecordPoolNextUsed(const JRecordPool* pool, uint32_t index);
