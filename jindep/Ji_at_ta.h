// A pool of numeric identifiers: 1, 2, 3, ... handed out and taken back; the most
// recently released identifier is the next one taken.
#pragma once
#include <cstdint>

#include "jindep/Ji_at_ar.h"

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
