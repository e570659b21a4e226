#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "jindep/memory.h"
#include "jwin/J_file.h"

namespace {

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    JFileTypesInit();
    char pattern[] = "/tmp/tintwell-jfile-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = std::string(pattern) + "/";
  }
  void TearDown() override {
    std::system(("rm -rf '" + dir_ + "'").c_str());
    JFileTypesFree();
  }
  std::string dir_;
};

std::string FullPath(const JFileSpec* fileSpec) {
  char* p = JFileSpecFullPathNew(fileSpec);
  std::string s = p;
  JFree(p);
  return s;
}

}  // namespace

TEST_F(FileTest, SpecsKeepTheExactNameAndTakeTheTypeFromTheLastDot) {
  struct Case {
    const char* path;
    const char* directory;
    const char* name;
    const char* extension;
    int16_t row;
  } cases[] = {
      {"/pictures/holiday.v2.gif", "/pictures/", "holiday.v2", "gif", 2},
      {"/pictures/PHOTO.BMP", "/pictures/", "PHOTO", "BMP", 17},
      {"/X.GIF", "/", "X", "GIF", 2},
      {"/a.b/readme", "/a.b/", "readme", nullptr, 12},  // a dot in the folder is no extension
      {"/home/.profile", "/home/", ".profile", nullptr, 12},
      {"/d/clip.Wmf", "/d/", "clip", "Wmf", 13},
      {"/d/Field.JPEG", "/d/", "Field", "JPEG", 3},  // the long spelling is the JPEG type too
      {"/d/odd.", "/d/", "odd", "", 12},
  };
  for (const Case& c : cases) {
    JFileSpec* fileSpec = JFileSpecFromPath(c.path);
    ASSERT_NE(fileSpec, nullptr) << c.path;
    EXPECT_STREQ(fileSpec->directory, c.directory) << c.path;
    EXPECT_STREQ(fileSpec->name, c.name) << c.path;
    if (c.extension)
      EXPECT_STREQ(fileSpec->extension, c.extension) << c.path;
    else
      EXPECT_EQ(fileSpec->extension, nullptr) << c.path;
    EXPECT_EQ(fileSpec->type.row, c.row) << c.path;
    EXPECT_EQ(FullPath(fileSpec), c.path);
    JFileSpec* copy = JFileSpecCopy(fileSpec);
    EXPECT_EQ(FullPath(copy), c.path);
    JFileSpecFree(copy);
    JFileSpecFree(fileSpec);
  }
  EXPECT_EQ(JFileSpecFromPath("no-folder.gif"), nullptr);

  JFileSpec* fileSpec = JFileSpecNewOfType("/out", "picture", 2);
  EXPECT_EQ(FullPath(fileSpec), "/out/picture.gif");
  EXPECT_STREQ(fileSpec->type.name, "gif");
  JFileSpecSetType(fileSpec, 17);
  EXPECT_EQ(FullPath(fileSpec), "/out/picture.bmp");
  JFileSpecFree(fileSpec);
}

TEST_F(FileTest, FullPathsNeverOverflowTheirBufferAndLongPathsWork) {
  JFileSpec* fileSpec = JFileSpecNew("/somewhere", "name.gif");
  char buffer[32];
  memset(buffer, 'Z', sizeof buffer);
  EXPECT_FALSE(JFileSpecFullPath(fileSpec, buffer, 10));
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[10], 'Z');
  EXPECT_TRUE(JFileSpecFullPath(fileSpec, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "/somewhere/name.gif");
  JFileSpecFree(fileSpec);

  std::string deep = dir_;
  while (deep.size() < PATH_MAX - 400) {
    deep += std::string(200, 'x') + "/";
    ASSERT_TRUE(JFileCreateDirectory(deep.c_str()));
  }
  JFileSpec* far = JFileSpecNew(deep.c_str(), "Deep Picture.BMP");
  EXPECT_GT(FullPath(far).size(), 3500u);
  EXPECT_TRUE(JFileCreate(far));
  EXPECT_TRUE(JFileExists(far));
  JFileSpecFree(far);
}
