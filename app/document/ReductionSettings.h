// A document's reduction settings: what the user chose in the controls panel or on the
// batch command line. The defaults of a new document and the limits every way of
// choosing them shares are here, once; the window and the batch mode both apply them.
//
// How colours turn into GIF passes: the first pass holds the colours that survive
// longest; every later pass adds the next colours of the merge order and keeps one
// table entry for transparency. Pass p (from 1) carries merge positions
// ColoursForPasses(p - 1) up to, but not including, min(ColoursForPasses(p), colourCount).
#pragma once
#include <cstdint>

#include "app/document/TransparentList.h"
#include "jindep/string_resources.h"

// Three 16-bit channels, 0 .. 65535.
struct DocumentColour {
  uint16_t red;
  uint16_t green;
  uint16_t blue;
};

struct ReductionSettings {
  uint32_t colourCount;  // colours kept
  uint8_t transparencyOn;
  uint8_t interlaceFirst;
  uint8_t interlaceLater;
  uint8_t useGlobalTable;
  uint16_t firstPassBits;           // 1 .. 8
  uint16_t laterPassBits;           // 1 .. 8
  DocumentColour backgroundColour;  // written for transparent pixels
  TransparentList transparentList;
};

// A GIF colour table holds this many colours; a global table caps the whole picture at it.
inline constexpr uint32_t kGlobalTableColours = 256;

// A new document's settings for a picture of `colours` colours: every colour kept, the
// options off, first-pass table bits as the colours need, 8 bits for later passes, a white
// background. The transparent list is left as it is (empty for a new document).
void ResetReductionSettings(ReductionSettings* settings, uint32_t colours);

// The table bits a first pass needs for n colours: smallest b >= 1 with 2^b >= n, 8 from 256 on.
uint16_t FirstPassBitsFor(uint32_t colours);
// 2^firstPassBits, less 1 with transparency on.
uint16_t FirstPassColours(const ReductionSettings* settings);
// 2^laterPassBits - 1.
uint16_t LaterPassColours(const ReductionSettings* settings);
// Colours carried by the first p passes (0 for p = 0); saturates at UINT32_MAX.
uint32_t ColoursForPasses(const ReductionSettings* settings, uint32_t passes);
// Passes needed to show c colours (0 for c = 0).
uint32_t PassesForColours(const ReductionSettings* settings, uint32_t colours);
uint32_t DocumentPasses(const ReductionSettings* settings);

// Why a chosen value was brought into range; the chooser tells the user (an alert in the
// window, a line on stderr in the batch mode), in the order of the bits.
enum ReductionNote : uint8_t {
  kNoteGlobalTableLimit = 1,          // more than 256 colours with a global table
  kNoteMoreColoursThanPresent = 2,    // more colours than the picture has
  kNoteMorePassesThanGlobalNeeds = 4, // more passes than 256 colours need, with a global table
  kNoteMorePassesThanNeeded = 8,      // more passes than an exact rendering needs
};
// The string resource of one note (the next id is its button's text).
JStringId ReductionNoteString(ReductionNote note);
// Calls `tell` with the string resource of each note set, in the order of the bits.
void TellReductionNotes(uint8_t notes, void (*tell)(void* data, JStringId text), void* data);

// A number of colours asked for, brought within the `available` colours (and 256 with a
// global table). Adds to *notes what was changed.
uint32_t LimitColourCount(const ReductionSettings* settings, uint32_t requested, uint32_t available,
                          uint8_t* notes);
// The colours a number of passes asked for shows: passes beyond those the `available`
// colours need are dropped, and the count is capped as LimitColourCount does (without
// its notes). Adds to *notes what was changed.
uint32_t ColoursForPassCount(const ReductionSettings* settings, uint32_t passes, uint32_t available,
                             uint8_t* notes);
// The global colour table turned on or off; on caps the colours kept at 256.
void SetGlobalTable(ReductionSettings* settings, bool on);
