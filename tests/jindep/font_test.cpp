#include "jindep/Ji_font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debug_log.h"

namespace {

struct FakePlatform {
  int made = 0;
  int destroyed = 0;
  bool refuse = false;
};
FakePlatform gPlatform;

// The window layer may already have fonts of its own: the test installs stand-in
// platform procedures, works only with faces of its own, and puts everything back.
class Fonts : public DebugLogTest {
 protected:
  void SetUp() override {
    DebugLogTest::SetUp();
    JFontGetPlatformProcs(&savedCreate_, &savedDestroy_, &savedData_);
    savedDefault_ = JFontDefaultFace();
    gPlatform = FakePlatform();
    JFontSetPlatformProcs(
        [](void*, const char*, uint16_t, uint16_t, double) -> void* {
          if (gPlatform.refuse) return nullptr;
          return reinterpret_cast<void*>(static_cast<uintptr_t>(++gPlatform.made));
        },
        [](void*, void*) { ++gPlatform.destroyed; }, nullptr);
    JFontSetDefaultFace("Body");
  }
  void TearDown() override {
    JFontFreeFace("Body");
    JFontFreeFace("Title");
    EXPECT_EQ(gPlatform.destroyed, gPlatform.made);
    JFontSetPlatformProcs(savedCreate_, savedDestroy_, savedData_);
    JFontSetDefaultFace(savedDefault_.c_str());
    DebugLogTest::TearDown();
  }

 private:
  JFontCreateProc savedCreate_;
  JFontDestroyProc savedDestroy_;
  void* savedData_;
  std::string savedDefault_;
};

}  // namespace

TEST_F(Fonts, TheSameRequestSharesOneCountedRecordAndUnderflowIsReported) {
  JFontRef* a = JFontGet(nullptr, 15, 0, 1.0);
  JFontRef* b = JFontGet("Body", 15, 0, 1.0);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a->refCount, 2u);
  EXPECT_EQ(gPlatform.made, 1);
  JFontRelease(a);
  JFontRelease(b);
  EXPECT_EQ(a->refCount, 0u);
  EXPECT_EQ(LogText(), "");
  JFontRelease(a);
  EXPECT_EQ(a->refCount, 0u);
  EXPECT_NE(LogText().find("\"jindep/Ji_font\""), std::string::npos);
  EXPECT_NE(LogText().find("'Reference count underflow'"), std::string::npos);
  // A font whose count reached 0 is still cached and is reused.
  EXPECT_EQ(JFontGet("Body", 15, 0, 1.0), a);
  EXPECT_EQ(gPlatform.made, 1);
}

// Each change alters one property, so each must give a font of its own.
TEST_F(Fonts, ChangingToTheSameFontNeverLetsItGoAndEveryPropertyTellsFontsApart) {
  JFontRef* f = JFontGet("Body", 12, 0, 1.0);
  JFontRef* same = JFontChangeSize(f, 12);
  EXPECT_EQ(same, f);
  EXPECT_EQ(f->refCount, 1u);
  JFontRef* bigger = JFontChangeSize(f, 20);
  EXPECT_EQ(f->refCount, 0u);
  EXPECT_EQ(bigger->size, 20);
  JFontRef* bold = JFontChangeStyle(bigger, 1);
  JFontRef* wide = JFontChangeScale(bold, 2.0);
  JFontRef* other = JFontChangeFace(wide, "Title");
  EXPECT_EQ(other->size, 20);
  EXPECT_EQ(other->style, 1);
  EXPECT_EQ(other->scale, 2.0);
  EXPECT_STREQ(other->face->name, "Title");
  EXPECT_EQ(other->refCount, 1u);
  EXPECT_EQ(bigger->refCount + bold->refCount + wide->refCount, 0u);
  EXPECT_EQ(gPlatform.made, 5);
  EXPECT_EQ(LogText(), "");
}

TEST_F(Fonts, AFontThatCannotBeMadeIsNoneAndTheOldOneIsKept) {
  JFontRef* f = JFontGet("Body", 12, 0, 1.0);
  gPlatform.refuse = true;
  EXPECT_EQ(JFontGet("Body", 40, 0, 1.0), nullptr);
  EXPECT_EQ(JFontChangeSize(f, 40), nullptr);
  EXPECT_EQ(f->refCount, 1u);
  EXPECT_EQ(JFontGet("", 12, 0, 1.0), nullptr);
}
