// The reduction settings: pass arithmetic, a new document's defaults, and the limits the
// controls panel and the batch mode both apply.
#include <gtest/gtest.h>

#include "app/document/ReductionSettings.h"

namespace {

ReductionSettings PassDocument(uint16_t firstBits, uint16_t laterBits, bool transparency) {
  ReductionSettings document = {};
  document.firstPassBits = firstBits;
  document.laterPassBits = laterBits;
  document.transparencyOn = transparency ? 1 : 0;
  return document;
}

TEST(ReductionSettings, ColoursAndPassesAgreeForEverySetting) {
  ReductionSettings eight = PassDocument(8, 8, false);
  EXPECT_EQ(ColoursForPasses(&eight, 2), 511u);  // a later pass keeps one colour of the last
  EXPECT_EQ(PassesForColours(&eight, 0), 0u);
  ReductionSettings oneBitLater = PassDocument(3, 1, false);
  EXPECT_EQ(ColoursForPasses(&oneBitLater, 5) - ColoursForPasses(&oneBitLater, 4), 1u);
  for (uint16_t f = 1; f <= 8; ++f) {
    for (uint16_t l = 1; l <= 8; ++l)
      for (int t = 0; t < 2; ++t) {
        ReductionSettings d = PassDocument(f, l, t == 1);
        for (uint32_t p = 1; p < 3000; p += (p < 50 ? 1 : 97)) {
          ASSERT_EQ(PassesForColours(&d, ColoursForPasses(&d, p)), p);
          ASSERT_EQ(PassesForColours(&d, ColoursForPasses(&d, p) + 1), p + 1);
        }
      }
  }
  // The largest counts neither wrap nor fail.
  EXPECT_GT(PassesForColours(&eight, UINT32_MAX), 16000000u);
  EXPECT_EQ(ColoursForPasses(&oneBitLater, UINT32_MAX), UINT32_MAX);
}

TEST(ReductionSettings, ChosenCountsAreBroughtIntoRangeWithTheirNotes) {
  struct Case {
    bool global;
    bool passes;  // the value is a number of passes, else of colours
    uint32_t value, available, expected;
    uint8_t notes;
  } cases[] = {
      {false, false, 100, 500, 100, 0},
      {false, false, 900, 500, 500, kNoteMoreColoursThanPresent},
      {true, false, 300, 500, 256, kNoteGlobalTableLimit},
      {true, false, 300, 200, 200, kNoteMoreColoursThanPresent},  // the table is no limit below 256
      {true, false, 256, 900, 256, 0},
      {false, true, 2, 500, 500, 0},  // 511 colours, at most those present
      {false, true, 9, 500, 500, kNoteMorePassesThanNeeded},
      {true, true, 3, 900, 256, kNoteMorePassesThanGlobalNeeds},
      {true, true, 1, 900, 256, 0},
      {false, true, 0, 500, 0, 0},
  };
  for (const Case& c : cases) {
    ReductionSettings s = {};
    ResetReductionSettings(&s, c.available);
    s.firstPassBits = 8;
    SetGlobalTable(&s, c.global);
    EXPECT_EQ(s.colourCount, c.global && c.available > 256 ? 256u : c.available);
    uint8_t notes = 0;
    const uint32_t k = c.passes ? ColoursForPassCount(&s, c.value, c.available, &notes)
                                : LimitColourCount(&s, c.value, c.available, &notes);
    EXPECT_EQ(k, c.expected) << c.value << (c.passes ? " passes" : " colours");
    EXPECT_EQ(notes, c.notes) << c.value;
  }
}

}  // namespace
