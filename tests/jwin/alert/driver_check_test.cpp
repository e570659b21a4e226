#include <gtest/gtest.h>

#include <string>

#include "jindep/memory.h"
#include "jindep/string_resources.h"
#include "jwin/driver_check.h"
#include "tests/jwin/window/toolkit_fixture.h"

namespace {

std::string Warning(uint32_t caps, bool printer, bool stretchFails) {
  char* s = JDriverWarningText(caps, printer, stretchFails);
  if (!s) return "(none)";
  std::string out(s);
  JFree(s);
  return out;
}

std::string S(uint16_t id) { return JResourceString(id); }

constexpr uint32_t kAll = kJCapsLargeBitmaps | kJCapsDibs | kJCapsStretch | kJCapsStretchDibs;

}  // namespace

TEST(DriverWarning, NothingIsShownWhenNothingIsMissing) {
  EXPECT_EQ(Warning(kAll, false, true), "(none)");
  EXPECT_EQ(Warning(kAll, true, true), "(none)");
  EXPECT_EQ(Warning(JScreenRasterCaps(), false, false), "(none)");
  // Stretching device-independent bitmaps counts as missing only when the test stretch fails.
  EXPECT_EQ(Warning(kAll & ~kJCapsStretchDibs, false, false), "(none)");
}

TEST(DriverWarning, OnlyLargeBitmapsMissingGivesThatLineAndTheAdvice) {
  EXPECT_EQ(Warning(kAll & ~kJCapsLargeBitmaps, false, false),
            S(kStrVideoDriverIntro) + "\n\r\n\r" + S(kStrLackLargeBitmaps) + "\n\r" + S(kStrDriverAdvice) + " " +
                S(kStrDriverConsequence));
}

TEST(DriverWarning, LinesComeInTheirOrderAndPrintersSkipTheDisplayOnes) {
  EXPECT_EQ(Warning(0, false, true), S(kStrVideoDriverIntro) + "\n\r\n\r" + S(kStrLackLargeBitmaps) + "\n\r" +
                                         S(kStrLackDibs) + "\n\r" + S(kStrLackStretching) + "\n\r" +
                                         S(kStrLackDibStretching) + "\n\r" + S(kStrDriverAdvice) + " " +
                                         S(kStrDriverConsequence));
  EXPECT_EQ(Warning(kAll & ~(kJCapsDibs | kJCapsStretchDibs), true, true),
            S(kStrPrinterDriverIntro) + "\n\r\n\r" + S(kStrLackDibPrinting) + "\n\r" + S(kStrDriverAdvice) + " " +
                S(kStrDriverConsequence));
}

class DriverCheck : public ToolkitTest {};

TEST_F(DriverCheck, TheWarningWaitsForItsButton) {
  EXPECT_FALSE(JVideoDriverCheck());
  input().key(platform::wm::kKeyReturn, '\r');
  EXPECT_TRUE(JDriverCheck(kAll & ~kJCapsLargeBitmaps, false, false));
  EXPECT_EQ(input().pendingInput(), 0u);
}
