#include "jindep/Ji_at_ta.h"

#include <cstring>

#include "jindep/debug.h"
#include "jindep/memory.h"

namespace {
const char kSource[] = "jindep/Ji_at_ta";
}  // namespace

void JSlotTableInit(JSlotTable* table) {
  table->entries = nullptr;
  table->freeFlags = nullptr;
  table->count = 0;
  table->capacity = 0;
  table->freeHead = kJNone;
}

void JSlotTableFree(JSlotTable* table) {
  JFree(table->entries);
  JFree(table->freeFlags);
  JSlotTableInit(table);
}

uint32_t JSlotTableAdd(JSlotTable* table, uintptr_t value) {
  uint32_t index = table->freeHead;
  if (index != kJNone) {
    table->freeHead = static_cast<uint32_t>(table->entries[index]);
  } else {
    if (table->count >= kJNone - 1) {
      JDebugReport(kSource, __LINE__, "Table is full");
      return kJNone;
    }
    if (table->count == table->capacity) {
      uint64_t grown = table->capacity ? static_cast<uint64_t>(table->capacity) * 2 : 16;
      table->capacity = grown > kJNone - 1 ? kJNone - 1 : static_cast<uint32_t>(grown);
      table->entries = static_cast<uintptr_t*>(JRealloc(table->entries, table->capacity * sizeof(uintptr_t)));
      table->freeFlags = static_cast<uint8_t*>(JRealloc(table->freeFlags, table->capacity));
    }
    index = table->count++;
  }
  table->entries[index] = value;
  table->freeFlags[index] = 0;
  return index;
}

bool JSlotTableInUse(const JSlotTable* table, uint32_t index) {
  return index < table->count && !table->freeFlags[index];
}

uintptr_t JSlotTableAt(const JSlotTable* table, uint32_t index) {
  if (index >= table->count) {
    JDebugReport(kSource, __LINE__, "Indexing past end of table");
    return 0;
  }
  if (table->freeFlags[index]) {
    JDebugReport(kSource, __LINE__, "Indexing a free slot of table");
    return 0;
  }
  return table->entries[index];
}

void JSlotTableSet(JSlotTable* table, uint32_t index, uintptr_t value) {
  if (!JSlotTableInUse(table, index)) {
    JDebugReport(kSource, __LINE__, "Setting a slot not in use");
    return;
  }
  table->entries[index] = value;
}

// A slot removed twice would appear twice in the free chain and later be handed
// out to two owners, so a free slot is refused.
void JSlotTableRemove(JSlotTable* table, uint32_t index) {
  if (index >= table->count) {
    JDebugReport(kSource, __LINE__, "Removing past end of table");
    return;
  }
  if (table->freeFlags[index]) {
    JDebugReport(kSource, __LINE__, "Removing a free slot of table");
    return;
  }
  table->entries[index] = table->freeHead;
  table->freeFlags[index] = 1;
  table->freeHead = index;
}

void JIdPoolInit(JIdPool* pool) {
  JVectorInit(&pool->released, sizeof(uint32_t), 16);
  pool->last = 0;
  pool->limit = UINT32_MAX;
}

void JIdPoolFree(JIdPool* pool) { JVectorFree(&pool->released); }

uint32_t JIdPoolTake(JIdPool* pool) {
  if (pool->released.count > 0) {
    uint32_t id;
    memcpy(&id, JVectorAt(&pool->released, pool->released.count - 1), sizeof id);
    JVectorRemove(&pool->released, pool->released.count - 1);
    return id;
  }
  if (pool->last == pool->limit) return 0;
  return ++pool->last;
}

// An identifier never handed out, or released twice, would later be handed out
// twice; such releases are reported and ignored.
void JIdPoolRelease(JIdPool* pool, uint32_t id) {
  if (id == 0 || id > pool->last || JVectorFindEqual(&pool->released, &id) >= 0) {
    JDebugReport(kSource, __LINE__, "Releasing an identifier not in use");
    return;
  }
  if (id == pool->last)
    --pool->last;
  else
    JVectorAppend(&pool->released, &id);
}

void JRecordPoolInit(JRecordPool* pool, uint32_t capacity, size_t payloadSize) {
  if (capacity == kJNone) capacity = kJNone - 1;
  pool->capacity = capacity;
  pool->payloadSize = payloadSize;
  pool->used = 0;
  pool->payloads = static_cast<uint8_t*>(JAlloc(static_cast<size_t>(capacity) * payloadSize));
  pool->inUse = static_cast<uint8_t*>(JAlloc(capacity));
  pool->next = static_cast<uint32_t*>(JAlloc(static_cast<size_t>(capacity) * sizeof(uint32_t)));
  pool->previous = static_cast<uint32_t*>(JAlloc(static_cast<size_t>(capacity) * sizeof(uint32_t)));
  memset(pool->inUse, 0, capacity);
  for (uint32_t i = 0; i < capacity; ++i) {
    pool->next[i] = i + 1 < capacity ? i + 1 : kJNone;
    pool->previous[i] = kJNone;
  }
  pool->freeHead = capacity ? 0 : kJNone;
  pool->usedHead = kJNone;
}

void JRecordPoolFree(JRecordPool* pool) {
  JFree(pool->payloads);
  JFree(pool->inUse);
  JFree(pool->next);
  JFree(pool->previous);
  pool->payloads = pool->inUse = nullptr;
  pool->next = pool->previous = nullptr;
  pool->capacity = pool->used = 0;
  pool->freeHead = pool->usedHead = kJNone;
}

int64_t JRecordPoolTake(JRecordPool* pool, const void* payload) {
  uint32_t index = pool->freeHead;
  if (index == kJNone) return -1;
  pool->freeHead = pool->next[index];
  memcpy(pool->payloads + static_cast<size_t>(index) * pool->payloadSize, payload, pool->payloadSize);
  pool->inUse[index] = 1;
  pool->next[index] = pool->usedHead;
  pool->previous[index] = kJNone;
  if (pool->usedHead != kJNone) pool->previous[pool->usedHead] = index;
  pool->usedHead = index;
  ++pool->used;
  return index;
}

void JRecordPoolRelease(JRecordPool* pool, uint32_t index) {
  if (index >= pool->capacity || !pool->inUse[index]) {
    JDebugReport(kSource, __LINE__, "Releasing a record not in use");
    return;
  }
  uint32_t before = pool->previous[index];
  uint32_t after = pool->next[index];
  if (before != kJNone)
    pool->next[before] = after;
  else
    pool->usedHead = after;
  if (after != kJNone) pool->previous[after] = before;
  pool->inUse[index] = 0;
  pool->next[index] = pool->freeHead;
  pool->previous[index] = kJNone;
  pool->freeHead = index;
  --pool->used;
}

void* JRecordPoolPayload(const JRecordPool* pool, uint32_t index) {
  if (index >= pool->capacity || !pool->inUse[index]) {
    JDebugReport(kSource, __LINE__, "Indexing a record not in use");
    return nullptr;
  }
  return pool->payloads + static_cast<size_t>(index) * pool->payloadSize;
}

uint32_t JRecordPoolNextUsed(const JRecordPool* pool, uint32_t index) {
  if (index == kJNone) return pool->usedHead;
  if (index >= pool->capacity || !pool->inUse[index]) return kJNone;
  return pool->next[index];
}
