#include "app/document/ReductionSettings.h"


void ResetReductionSettings(ReductionSettings* s, uint32_t colours) {
  s->colourCount = colours;
  s->transparencyOn = 0;
  s->interlaceFirst = 0;
  s->interlaceLater = 0;
  s->useGlobalTable = 0;
  s->firstPassBits = FirstPassBitsFor(colours);
  s->laterPassBits = 8;
  s->backgroundColour = {65535, 65535, 65535};
}

uint16_t FirstPassBitsFor(uint32_t colours) {
  if (colours >= kGlobalTableColours) return 8;
  uint16_t bits = 1;
  while ((1u << bits) < colours) ++bits;
  return bits;
}

uint16_t FirstPassColours(const ReductionSettings* s) {
  uint16_t colours = static_cast<uint16_t>(1u << s->firstPassBits);
  return s->transparencyOn ? colours - 1 : colours;
}

uint16_t LaterPassColours(const ReductionSettings* s) { return static_cast<uint16_t>((1u << s->laterPassBits) - 1); }

uint32_t ColoursForPasses(const ReductionSettings* s, uint32_t passes) {
  if (passes == 0) return 0;
  uint64_t colours = FirstPassColours(s) + static_cast<uint64_t>(passes - 1) * LaterPassColours(s);
  return colours > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(colours);
}

uint32_t PassesForColours(const ReductionSettings* s, uint32_t colours) {
  if (colours == 0) return 0;
  const uint64_t first = FirstPassColours(s);
  if (colours <= first) return 1;
  const uint64_t later = LaterPassColours(s);
  if (later == 0) return UINT32_MAX;
  return static_cast<uint32_t>((colours - first + later - 1) / later + 1);
}

uint32_t DocumentPasses(const ReductionSettings* s) { return PassesForColours(s, s->colourCount); }

JStringId ReductionNoteString(ReductionNote note) {
  switch (note) {
    case kNoteGlobalTableLimit: return kStrGlobalTableLimit;
    case kNoteMoreColoursThanPresent: return kStrMoreColoursThanPresent;
    case kNoteMorePassesThanGlobalNeeds: return kStrGlobalTablePasses;
    case kNoteMorePassesThanNeeded: return kStrTooManyPasses;
  }
  return kStrTooManyPasses;
}

void TellReductionNotes(uint8_t notes, void (*tell)(void* data, JStringId text), void* data) {
  for (uint8_t note = 1; note != 0 && note <= kNoteMorePassesThanNeeded; note = static_cast<uint8_t>(note << 1))
    if (notes & note) tell(data, ReductionNoteString(static_cast<ReductionNote>(note)));
}

uint32_t LimitColourCount(const ReductionSettings* s, uint32_t v, uint32_t available, uint8_t* notes) {
  if (s->useGlobalTable && v > kGlobalTableColours && available > kGlobalTableColours) {
    *notes |= kNoteGlobalTableLimit;
    v = kGlobalTableColours;
  }
  if (v > available) {
    *notes |= kNoteMoreColoursThanPresent;
    v = available;
  }
  return v;
}

uint32_t ColoursForPassCount(const ReductionSettings* s, uint32_t p, uint32_t available, uint8_t* notes) {
  const uint32_t needed = PassesForColours(s, available);
  if (s->useGlobalTable && p >= 2 && ColoursForPasses(s, p - 1) >= kGlobalTableColours) {
    // The count is capped at 256 below whatever the passes; no pass count is changed.
    *notes |= kNoteMorePassesThanGlobalNeeds;
  } else if (p > needed) {
    *notes |= kNoteMorePassesThanNeeded;
    p = needed;
  }
  uint32_t k = ColoursForPasses(s, p);
  if (k > available) k = available;
  if (s->useGlobalTable && k > kGlobalTableColours) k = kGlobalTableColours;
  return k;
}

void SetGlobalTable(ReductionSettings* s, bool on) {
  s->useGlobalTable = on ? 1 : 0;
  if (on && s->colourCount > kGlobalTableColours) s->colourCount = kGlobalTableColours;
}
