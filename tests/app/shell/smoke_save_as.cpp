// File > Save as... on the desktop: the program runs on the desktop backend inside a
// virtual X server with the sample picture, the save dialog is opened with its keyboard
// shortcut (Ctrl+S), a full path is typed into its name field and Return pressed; the GIF
// written must decode (with giflib) to the sample's size and, with every colour kept as
// a new document keeps them, to the sample's own pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "smoke_util.h"
#include "tests/app/gif/gif_test_util.h"
#include "platform/dib/DibReader.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Smoke, SaveAsWritesTheSampleAsAGifThroughTheSaveDialog) {
  const std::string missing = smoke::Missing({"xvfb-run", "xdotool", "import", "convert"});
  if (!missing.empty()) GTEST_SKIP() << missing << " is missing: the desktop save smoke test needs it";
  if (!smoke::ProgramBuilt()) GTEST_SKIP() << "the program was not built: " << smoke::Program();
  const std::string sample = std::string(TINTWELL_SOURCE_DIR) + "/samples/sample.bmp";
  const std::string dir = smoke::BinaryDir();
  const std::string gif = dir + "/smoke_save_as.gif";
  const std::string shot = dir + "/smoke_save_as.png";
  const std::string dialogShot = dir + "/smoke_save_as_dialog.png";  // the name typed, before Return
  std::remove(gif.c_str());
  std::remove(shot.c_str());
  std::remove(dialogShot.c_str());

  std::string script = smoke::StartProgram(shot, "'" + sample + "'");
  script += smoke::WaitForPreview(shot);
  script += "xdotool key ctrl+s\n";
  script += smoke::WaitForDialog(shot);
  script += "xdotool type --delay 20 '" + gif + "'\n"
            "sleep 0.5\n"
            "import -window root '" + dialogShot + "' 2>/dev/null\n"
            "xdotool key Return\n";
  script += smoke::WaitForGif(gif);
  script += "sleep 1\n"
            "import -window root '" + shot + "' 2>/dev/null\n";
  script += smoke::QuitProgram();
  const std::string out = smoke::RunOnVirtualDesktop("smoke_save_as", script);
  EXPECT_EQ(smoke::Printed(out, "status"), 0) << out;
  EXPECT_TRUE(std::ifstream(shot).good()) << out;
  EXPECT_TRUE(std::ifstream(dialogShot).good()) << out;

  const std::vector<uint8_t> bytes = ReadFile(gif);
  ASSERT_FALSE(bytes.empty()) << "no GIF was written\n" << out;
  const giftest::Screen screen = giftest::DecodeScreen(bytes);
  ASSERT_TRUE(screen.ok) << "the GIF does not decode";
  std::string reason;
  const std::vector<uint8_t> bmp = ReadFile(sample);
  std::unique_ptr<platform::Bitmap> expected = platform::dib::DecodeFile(bmp.data(), bmp.size(), &reason);
  ASSERT_TRUE(expected) << reason;
  ASSERT_EQ(screen.width, expected->width());
  ASSERT_EQ(screen.height, expected->height());
  size_t different = 0;
  for (int y = 0; y < screen.height; ++y)
    for (int x = 0; x < screen.width; ++x)
      different += screen.pixels[static_cast<size_t>(y) * screen.width + x] != (expected->row32(y)[x] & 0xFFFFFF);
  EXPECT_EQ(different, 0u) << "of " << screen.width * screen.height << " pixels, in " << screen.images << " images";
}

}  // namespace
