// How the number of colours turns into GIF passes. The first pass holds the
// colours that survive longest; every later pass adds the next colours of the
// merge order and keeps one table entry for transparency.
// Pass p (from 1) carries merge positions ColoursForPasses(p - 1) up to, but not
// including, min(ColoursForPasses(p), colourCount).
#pragma once
#include <cstdint>

struct Document;

// 2^firstPassBits, less 1 with transparency on.
uint16_t FirstPassColours(const Document* document);
// 2^laterPassBits - 1.
uint16_t LaterPassColours(const Document* document);
// Colours carried by the first p passes (0 for p = 0); saturates at UINT32_MAX.
uint32_t ColoursForPasses(const Document* document, uint32_t passes);
// Passes needed to show c colours (0 for c = 0).
uint32_t PassesForColours(const Document* document, uint32_t colours);
uint32_t DocumentPasses(const Document* document);
// c = colours available for the palette, t = colours left out as transparent
// (t is 0 while transparency is off).
void AvailableColours(const Document* document, uint32_t* available, uint32_t* transparentCount);
// Keeps colourCount within the available colours.
void ClampColourCount(Document* document);
// The table bits a first pass needs for n colours: smallest b >= 1 with 2^b >= n, 8 from 256 on.
uint16_t FirstPassBitsFor(uint32_t colours);
