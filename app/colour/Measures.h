// The two measures plotted against the number of colours k (entry k - 1):
// the largest distance any colour has been moved by the merges down to k, and
// the quality: an error budget of 768 x width x height less the weighted cost
// of those merges. Both are 64-bit where they can grow: a 32-bit budget wraps
// above 5,592,405 pixels. Transparent colours (with the option on) are left out;
// entries from c (the available colours) on hold kNoMeasure.
#pragma once
#include <cstdint>

struct Document;

inline constexpr uint32_t kNoMaximumError = 0xFFFFFFFFu;
inline constexpr uint64_t kNoQuality = UINT64_MAX;

uint64_t QualityBudget(const Document* document);
// `values` has one entry per colour of the table. Returns c.
uint32_t ComputeMaximumError(const Document* document, uint32_t* values);
uint32_t ComputeQuality(Document* document, uint64_t* values);
