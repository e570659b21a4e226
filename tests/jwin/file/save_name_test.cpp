#include <gtest/gtest.h>

#include "jwin/J_file.h"

namespace {

class SaveName : public ::testing::Test {
 protected:
  void SetUp() override { JFileTypesInit(); }
  void TearDown() override { JFileTypesFree(); }
};

}  // namespace

// What the save dialog does with a typed name against the types it offers: the
// outcome, the name it goes on with, and the message (title, text, arguments).
TEST_F(SaveName, TypedNamesAreCheckedAgainstTheOfferedTypes) {
  const int16_t gifOnly[] = {kJFileTypeGif};
  const int16_t gifAndBitmap[] = {kJFileTypeGif, kJFileTypeBitmap};
  const int16_t allAndBitmap[] = {kJFileTypeAll, kJFileTypeBitmap};
  struct Case {
    const char* typed;
    const int16_t* offered;
    int16_t count;
    JSaveNameOutcome outcome;
    const char* name;
    int16_t selected, title, text;
    const char *argument1, *argument2;
  };
  const Case cases[] = {
      {"picture", gifOnly, 1, kJSaveNameAppended, "picture.gif", 0, 1, 2, ".gif", nullptr},
      {"/my.pictures/picture", gifOnly, 1, kJSaveNameAppended, "/my.pictures/picture.gif", 0, 1, 2, ".gif", nullptr},
      {"X.GIF", gifOnly, 1, kJSaveNameAccepted, "X.GIF", 0, 0, 0, nullptr, nullptr},
      {"photo.bmp", gifOnly, 1, kJSaveNameReplaced, "photo.gif", 0, 3, 4, ".bmp", ".gif"},
      {"photo.BMP", gifAndBitmap, 2, kJSaveNameTypeChanged, "photo.BMP", 1, 11, 12, ".BMP", nullptr},
      {"photo.bmp", allAndBitmap, 2, kJSaveNameAccepted, "photo.bmp", 0, 0, 0, nullptr, nullptr},
      {"notes.xyz", allAndBitmap, 2, kJSaveNameAccepted, "notes.xyz", 0, 0, 0, nullptr, nullptr},
      {"README", allAndBitmap, 2, kJSaveNameAccepted, "README", 0, 0, 0, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    JSaveNameCheck got = JFileCheckSaveName(c.typed, c.offered, c.count, 0);
    EXPECT_EQ(got.outcome, c.outcome);
    EXPECT_STREQ(got.name, c.name);
    EXPECT_EQ(got.selected, c.selected);
    EXPECT_EQ(got.titleString, c.title);
    if (c.title) {
      EXPECT_EQ(got.textString, c.text);
    }
    EXPECT_STREQ(got.argument1, c.argument1);
    EXPECT_STREQ(got.argument2, c.argument2);
    JSaveNameCheckFree(&got);
  }
}
