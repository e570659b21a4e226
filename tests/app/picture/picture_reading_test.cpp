#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/picture/picture_reading.h"
#include "app/shell/progress.h"
#include "jwin/J_draw.h"
#include "jwin/J_file.h"
#include "jwin/picture.h"
#include "jwin/pixel_map.h"
#include "platform/Bitmap.h"
#include "tests/platform/dib/bmp_builder.h"

namespace {

class PictureReading : public ::testing::Test {
 protected:
  void SetUp() override {
    JFileTypesInit();
    JDrawInit();
    char pattern[] = "/tmp/tintwell-reading-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = std::string(pattern) + "/";
  }
  void TearDown() override {
    std::system(("rm -rf '" + dir_ + "'").c_str());
    JDrawShutdown();
    JFileTypesFree();
  }
  JFileSpec* write(const char* name, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen((dir_ + name).c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return JFileSpecNew(dir_.c_str(), name);
  }
  std::string dir_;
};

}  // namespace

TEST_F(PictureReading, BitmapFileFillsItsDocumentMapUnderAProgressReport) {
  BmpSpec s;
  s.width = 3;
  s.height = 2;
  s.pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x111111, 0x222222, 0x333333};
  JFileSpec* fileSpec = write("Photo.BMP", BuildBmp(s));
  JPicture* picture = OpenPictureFile(fileSpec);
  ASSERT_NE(picture, nullptr);
  int16_t width, height;
  PictureFileSize(picture, &width, &height);
  EXPECT_EQ(width, 3);
  EXPECT_EQ(height, 2);
  JPixMap* map = JPixMapNewDirect(width, height, 32);
  EXPECT_EQ(ProgressCurrent(), nullptr);
  EXPECT_TRUE(DrawPictureFile(picture, map, "Reading File"));
  EXPECT_EQ(ProgressCurrent(), nullptr);  // the report was ended
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(map->bitmap->row32(y)[x], s.pixels[y * 3 + x]);
  EXPECT_NE(JCurrentDrawBitmap(), map);
  JPixMapFree(map);
  JPictureClose(picture);
  JFileSpecFree(fileSpec);
}

TEST_F(PictureReading, OtherTypesOpenNothing) {
  BmpSpec s;
  s.pixels = {0};
  JFileSpec* fileSpec = write("old.pct", BuildBmp(s));
  EXPECT_EQ(OpenPictureFile(fileSpec), nullptr);
  JFileSpecFree(fileSpec);
  EXPECT_EQ(OpenPictureFile(nullptr), nullptr);
}
