#include <random>

#include "app/gif/ByteSize.h"
#include "app/gif/SizeEstimate.h"
#include "app/picture/DocumentPicture.h"
#include "app/shell/SaveDocument.h"
#include "jwin/J_sched.h"
#include "tests/app/shell/documents_fixture.h"

namespace {

// Singular and plural, the unit steps, one decimal cut (never rounded up to the next unit).
TEST(ByteSize, TextsAtTheUnitBoundaries) {
  const std::pair<uint64_t, const char*> cases[] = {
      {0, "0 bytes"}, {1, "1 byte"}, {1023, "1023 bytes"}, {1024, "1K"}, {1536, "1.5K"},
      {1024 * 99 + 1023, "99.9K"}, {100 * 1024 + 512, "100K"}, {1048575, "1023K"}, {1048576 * 5 / 2, "2.5M"},
      {1073741824ull * 150 + (1ull << 29), "150.5G"}};
  for (const auto& [size, want] : cases) {
    char text[kByteSizeTextSize];
    FormatByteSize(size, text);
    EXPECT_STREQ(text, want) << size;
  }
}

class SizeEstimate : public DocumentsTest {
 protected:
  // Idle runs, the clock moving on, until the estimate is complete.
  void runEstimate(Document* d) {
    for (int i = 0; i < 100000 && d->estimating; ++i) {
      input().virtualClock().advance(1);
      JEventStep(nullptr, false);
    }
    ASSERT_FALSE(d->estimating);
  }
  std::string text(const Document* d) {
    char t[kSizeEstimateTextSize];
    SizeEstimateText(d, t);
    return t;
  }
};

// The estimate runs the writer that saves, so for any settings the size it shows once
// complete is the size of the file Save as... writes. Until then it shows a growing
// lower bound, and an idle run with input waiting leaves the input to be served first.
TEST_F(SizeEstimate, CompleteEstimateIsTheSizeOfTheSavedFile) {
  const int W = 90, H = 61;
  writeBmp("many.bmp", W, H, Pattern(W, H, 700));
  Document* d = open("many.bmp");
  ASSERT_NE(d, nullptr);
  std::mt19937 rng(19);
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(round);
    d->firstPassBits = static_cast<uint16_t>(1 + rng() % 8);
    d->laterPassBits = static_cast<uint16_t>(1 + rng() % 8);
    d->interlaceFirst = rng() & 1;
    d->interlaceLater = rng() & 1;
    d->useGlobalTable = round % 3 == 0;
    d->colourCount = rng() % (d->useGlobalTable ? 257 : 701);
    if (round == 0) d->firstPassBits = d->laterPassBits = 2, d->colourCount = 40;  // many passes
    if (round == 5 || round == 9) {
      // A marked colour: transparency on from here, one colour fewer available.
      input().click(client(d->window).left + d->centreX + 5 + round, client(d->window).top + d->centreY + 7);
      drain();
    }
    UpdateDocumentPicture(d);
    ResetSizeEstimate(d);
    EXPECT_EQ(text(d), "");  // nothing measured yet for these settings
    if (round == 0) {
      input().key('a', 'a');
      SizeEstimateIdle(d);
      EXPECT_EQ(d->estimatePass, 0u) << "a key waits";
      drain();
      input().virtualClock().advance(1);
      JEventStep(nullptr, false);
      ASSERT_EQ(d->estimatePass, 1u);
      EXPECT_EQ(text(d).rfind("> ", 0), 0u) << text(d);
    }
    runEstimate(d);
    EXPECT_EQ(d->estimateIdle, nullptr) << "nothing is left running once complete";
    JFileSpec* gif = fileSpec("many.gif");
    ASSERT_TRUE(SaveDocumentAsGif(d, gif));
    JFileSpecFree(gif);
    const std::vector<uint8_t> file = readFile("many.gif");
    EXPECT_EQ(d->estimateBytes, file.size());
    char size[kByteSizeTextSize];
    FormatByteSize(file.size(), size);
    EXPECT_EQ(text(d), size);
  }
}

}  // namespace
