// Pictures from the desktop's clipboard: the program runs on the desktop backend inside a
// virtual X server, another program (xclip) offers a bitmap and then a metafile on the
// CLIPBOARD selection, and Edit > New Picture from Clipboard (Ctrl+L) makes a document of
// each, whose preview must show the picture's pixels at their size.
#include <gtest/gtest.h>

#include <fstream>

#include "smoke_util.h"
#include "tests/app/shell/program_fixture.h"
#include "tests/platform/metafile/wmf_builder.h"

namespace {

// 800 x 500: the left half one colour, the right half another. At 1.2 MB it is larger
// than xclip sends in one piece, so it comes over in increments.
constexpr int kWidth = 800, kHeight = 500, kHalf = kWidth / 2 * kHeight;

std::vector<uint8_t> TwoColourBitmap() {
  BmpSpec s;
  s.width = kWidth;
  s.height = kHeight;
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) s.pixels.push_back(x < kWidth / 2 ? 0xC9255A : 0x14B48C);
  return BuildBmp(s);
}

// A placeable metafile of 120 x 90 units at 96 units an inch, filled with one colour.
std::vector<uint8_t> FilledMetafile() {
  WmfBuilder b;
  b.pen(5, 0, 0).brush(0, 0xFAC81E).select(0).select(1).add(0x041B, {90, 120, 0, 0});
  return b.placeable(0, 0, 120, 90, 96);
}

TEST(Smoke, NewPictureFromClipboardTakesTheDesktopsBitmapAndMetafile) {
  const std::string skip = smoke::SkipReason({"xvfb-run", "xdotool", "import", "convert", "xclip"});
  if (!skip.empty()) GTEST_SKIP() << skip;
  const std::string dir = smoke::BinaryDir();
  const std::string bmp = dir + "/smoke_clipboard.bmp", wmf = dir + "/smoke_clipboard.wmf";
  const std::string shot = dir + "/smoke_clipboard.png";
  program::WriteAll(bmp, TwoColourBitmap());
  program::WriteAll(wmf, FilledMetafile());
  std::remove(shot.c_str());

  std::string script = smoke::StartWithoutPicture(shot);
  script += "xclip -selection clipboard -t image/bmp -i '" + bmp + "' &\n"
            "sleep 1\n"
            "xdotool key ctrl+l\n";
  script += smoke::WaitForColour(shot, "201,37,90", kHalf, 60);
  script += "echo left=$n\n";
  script += smoke::WaitForColour(shot, "20,180,140", kHalf, 5);
  script += "echo right=$n\n";
  // Another owner takes the selection over, as a copy in another program would.
  script += "xclip -selection clipboard -t image/x-wmf -i '" + wmf + "' &\n"
            "sleep 1\n"
            "xdotool key ctrl+l\n";
  script += smoke::WaitForColour(shot, "250,200,30", 120 * 90, 60);
  script += "echo metafile=$n\n";
  script += smoke::QuitProgram();
  const std::string out = smoke::RunOnVirtualDesktop("smoke_clipboard", script);

  // Every pixel of each half is on the screen, and no more of it than the picture has.
  EXPECT_EQ(smoke::Printed(out, "left"), kHalf) << out;
  EXPECT_EQ(smoke::Printed(out, "right"), kHalf) << out;
  EXPECT_EQ(smoke::Printed(out, "metafile"), 120 * 90) << out;
  EXPECT_EQ(smoke::Printed(out, "status"), 0) << out;
  EXPECT_TRUE(std::ifstream(shot).good()) << out;
}

}  // namespace
