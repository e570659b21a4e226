#include <gtest/gtest.h>

#include "file_types.h"
#include "jwin/J_file.h"

namespace {

class SaveName : public ::testing::Test {
 protected:
  void SetUp() override { JFileTypesLoad(TestFileTypeText, nullptr); }
  void TearDown() override { JFileTypesFree(); }
};

}  // namespace

TEST_F(SaveName, ExtensionsAreTakenAfterTheLastSlashOnly) {
  EXPECT_STREQ(JFileNameExtension("holiday.v2.gif"), ".gif");
  EXPECT_EQ(JFileNameExtension("/my.pictures/holiday"), nullptr);
  EXPECT_STREQ(JFileNameExtension("/my.pictures/a."), ".");
  EXPECT_EQ(JFileNameExtension("plain"), nullptr);

  EXPECT_TRUE(JFileExtensionMatches(".*", ".bmp"));
  EXPECT_TRUE(JFileExtensionMatches(".g?f", ".GIF"));
  EXPECT_TRUE(JFileExtensionMatches(".gif", ".GiF"));
  EXPECT_FALSE(JFileExtensionMatches(".gif", ".gi"));
  EXPECT_FALSE(JFileExtensionMatches(".gi", ".gif"));
  EXPECT_FALSE(JFileExtensionMatches(".gif", ".bmp"));
}

TEST_F(SaveName, MissingExtensionIsAppendedWithItsMessage) {
  const int16_t gifOnly[] = {kJFileTypeGif};
  JSaveNameCheck c = JFileCheckSaveName("picture", gifOnly, 1, 0);
  EXPECT_EQ(c.outcome, kJSaveNameAppended);
  EXPECT_STREQ(c.name, "picture.gif");
  EXPECT_EQ(c.titleString, 1);
  EXPECT_EQ(c.textString, 2);
  EXPECT_STREQ(c.argument1, ".gif");
  JSaveNameCheckFree(&c);

  // A dot in a folder name is no extension.
  c = JFileCheckSaveName("/my.pictures/picture", gifOnly, 1, 0);
  EXPECT_STREQ(c.name, "/my.pictures/picture.gif");
  JSaveNameCheckFree(&c);
}

TEST_F(SaveName, MatchingExtensionsAreAcceptedWhateverTheirCase) {
  const int16_t gifOnly[] = {kJFileTypeGif};
  JSaveNameCheck c = JFileCheckSaveName("X.GIF", gifOnly, 1, 0);
  EXPECT_EQ(c.outcome, kJSaveNameAccepted);
  EXPECT_STREQ(c.name, "X.GIF");
  EXPECT_EQ(c.titleString, 0);
  JSaveNameCheckFree(&c);
}

TEST_F(SaveName, ForeignExtensionIsReplacedOrMovesTheSelection) {
  const int16_t gifOnly[] = {kJFileTypeGif};
  JSaveNameCheck c = JFileCheckSaveName("photo.bmp", gifOnly, 1, 0);
  EXPECT_EQ(c.outcome, kJSaveNameReplaced);
  EXPECT_STREQ(c.name, "photo.gif");
  EXPECT_EQ(c.titleString, 3);
  EXPECT_EQ(c.textString, 4);
  EXPECT_STREQ(c.argument1, ".bmp");
  EXPECT_STREQ(c.argument2, ".gif");
  JSaveNameCheckFree(&c);

  const int16_t two[] = {kJFileTypeGif, kJFileTypeBitmap};
  c = JFileCheckSaveName("photo.BMP", two, 2, 0);
  EXPECT_EQ(c.outcome, kJSaveNameTypeChanged);
  EXPECT_EQ(c.selected, 1);
  EXPECT_STREQ(c.name, "photo.BMP");
  EXPECT_EQ(c.titleString, 11);
  EXPECT_EQ(c.textString, 12);
  EXPECT_STREQ(c.argument1, ".BMP");
  JSaveNameCheckFree(&c);
}

TEST_F(SaveName, AllFilesAcceptsAnyExtensionAndNoneWithoutMakingAPattern) {
  const int16_t offered[] = {kJFileTypeAll, kJFileTypeBitmap};
  JSaveNameCheck c = JFileCheckSaveName("photo.bmp", offered, 2, 0);
  EXPECT_EQ(c.outcome, kJSaveNameAccepted);
  EXPECT_EQ(c.selected, 0);
  JSaveNameCheckFree(&c);
  c = JFileCheckSaveName("notes.xyz", offered, 2, 0);
  EXPECT_EQ(c.outcome, kJSaveNameAccepted);
  EXPECT_STREQ(c.name, "notes.xyz");
  JSaveNameCheckFree(&c);
  c = JFileCheckSaveName("README", offered, 2, 0);
  EXPECT_EQ(c.outcome, kJSaveNameAccepted);
  EXPECT_STREQ(c.name, "README");
  JSaveNameCheckFree(&c);
}
