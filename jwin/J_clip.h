// The clip of the current drawing area: saved, restored and set.
#pragma once
#include "jwin/J_rect.h"

struct JClipRecord;

// A copy of the current area's clip (an area without a clip saves a 10000 x 10000 region).
JClipRecord* JSaveClip();
// Selects the saved clip again if the same area is still current; frees the record either way.
void JRestoreClip(JClipRecord* saved);
// Drawing is limited to the rectangle (local coordinates).
void JSetClipRect(JRect r);
