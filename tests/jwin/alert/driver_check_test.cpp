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

TEST(DriverWarning, NamesWhatIsMissingInOrderAndPrintersSkipTheDisplayLines) {
  const std::string tail = "\n\r" + S(kStrDriverAdvice) + " " + S(kStrDriverConsequence);
  const std::string video = S(kStrVideoDriverIntro) + "\n\r\n\r";
  struct Case {
    uint32_t caps;
    bool printer, stretchFails;
    std::string want;
  };
  const Case cases[] = {
      {kAll, false, true, "(none)"},
      {kAll, true, true, "(none)"},
      {JScreenRasterCaps(), false, false, "(none)"},
      // Stretching device-independent bitmaps counts as missing only when the test stretch fails.
      {kAll & ~kJCapsStretchDibs, false, false, "(none)"},
      {kAll & ~kJCapsLargeBitmaps, false, false, video + S(kStrLackLargeBitmaps) + tail},
      {0, false, true,
       video + S(kStrLackLargeBitmaps) + "\n\r" + S(kStrLackDibs) + "\n\r" + S(kStrLackStretching) + "\n\r" +
           S(kStrLackDibStretching) + tail},
      {kAll & ~(kJCapsDibs | kJCapsStretchDibs), true, true,
       S(kStrPrinterDriverIntro) + "\n\r\n\r" + S(kStrLackDibPrinting) + tail},
  };
  for (const Case& c : cases) EXPECT_EQ(Warning(c.caps, c.printer, c.stretchFails), c.want) << c.caps;
}

class DriverCheck : public ToolkitTest {};

TEST_F(DriverCheck, TheWarningWaitsForItsButton) {
  EXPECT_FALSE(JVideoDriverCheck());
  input().key(platform::wm::kKeyReturn, '\r');
  EXPECT_TRUE(JDriverCheck(kAll & ~kJCapsLargeBitmaps, false, false));
  EXPECT_EQ(input().pendingInput(), 0u);
}
