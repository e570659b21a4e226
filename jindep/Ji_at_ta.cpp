#include "jindep/Ji_at_ta.h"

#include <cstring>

#include "jindep/debug.h"

namespace {
const char kSource[] = "jindep/Ji_at_ta";
}  // namespace

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
