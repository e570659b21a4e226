#include "clipboard_test_util.h"
#include "tests/platform/metafile/wmf_builder.h"

namespace clip = platform::clipboard;

namespace {

using cliptest::ClipboardTest;

clip::MetafilePicture Picture(int w, int h, uint32_t colour) {
  WmfBuilder b;
  b.pen(5, 0, 0).brush(0, colour).select(0).select(1).add(0x041B, {h, w, 0, 0});
  clip::MetafilePicture p;
  p.xExtent = w;
  p.yExtent = h;
  p.bits = b.bits();
  return p;
}

// A desktop whose clipboard holds what the test puts there, counting the questions.
class FakeDesktop : public clip::DesktopSource {
 public:
  bool offersPicture() override {
    ++asked;
    return picture.has_value();
  }
  std::optional<clip::MetafilePicture> takePicture() override {
    ++taken;
    return picture;
  }
  std::optional<clip::MetafilePicture> picture;
  int asked = 0;
  int taken = 0;
};

TEST_F(ClipboardTest, TheDesktopsPictureIsTakenOnlyWhenTheProcessHoldsNone) {
  FakeDesktop desktop;
  clip::SetDesktopSource(&desktop);
  EXPECT_FALSE(JClipboardHasPicture());
  EXPECT_EQ(JClipboardGetPicture(), nullptr);
  desktop.picture = Picture(30, 20, 0x2040C0);
  EXPECT_TRUE(JClipboardHasPicture());
  std::unique_ptr<platform::Bitmap> drawn = cliptest::TakeAndDraw();
  ASSERT_TRUE(drawn);
  EXPECT_EQ(drawn->width(), 30);
  EXPECT_EQ(drawn->height(), 20);
  EXPECT_EQ(drawn->row32(10)[15], 0x2040C0u);
  // The toolkit's copy outlives the desktop's clipboard.
  JClipPicture* kept = JClipboardGetPicture();
  ASSERT_NE(kept, nullptr);
  desktop.picture.reset();
  EXPECT_FALSE(JClipboardHasPicture());
  JRect frame;
  JClipPictureFrame(kept, &frame);
  EXPECT_EQ(frame.right, 30);
  JClipPictureFree(kept);

  // A picture the process put on the clipboard comes first; the desktop is not asked.
  desktop.picture = Picture(30, 20, 0x2040C0);
  cliptest::Put(Picture(8, 6, 0xE0A010));
  const int asked = desktop.asked, taken = desktop.taken;
  EXPECT_TRUE(JClipboardHasPicture());
  drawn = cliptest::TakeAndDraw();
  ASSERT_TRUE(drawn);
  EXPECT_EQ(drawn->width(), 8);
  EXPECT_EQ(drawn->row32(3)[4], 0xE0A010u);
  EXPECT_EQ(desktop.asked, asked);
  EXPECT_EQ(desktop.taken, taken);
}

TEST_F(ClipboardTest, TheDesktopIsAskedOnlyWhileTheClipboardIsOpen) {
  FakeDesktop desktop;
  desktop.picture = Picture(10, 10, 0x102030);
  clip::SetDesktopSource(&desktop);
  // Closed, or held by the toolkit itself: no picture, and no question to the desktop.
  EXPECT_FALSE(clip::HasFormat(clip::kMetafilePicture));
  EXPECT_EQ(clip::GetMetafilePicture(), nullptr);
  JClipboardSetHeld(true);
  EXPECT_FALSE(JClipboardHasPicture());
  JClipboardSetHeld(false);
  EXPECT_EQ(desktop.asked + desktop.taken, 0);
  // Text on the desktop's clipboard is not a picture.
  desktop.picture.reset();
  ASSERT_TRUE(clip::Open(cliptest::kOtherProgram));
  EXPECT_FALSE(clip::HasFormat(clip::kMetafilePicture));
  EXPECT_EQ(clip::GetMetafilePicture(), nullptr);
  // A picture taken stays valid until the clipboard is closed.
  desktop.picture = Picture(10, 10, 0x102030);
  const clip::MetafilePicture* p = clip::GetMetafilePicture();
  ASSERT_NE(p, nullptr);
  desktop.picture.reset();
  EXPECT_EQ(p->xExtent, 10);
  EXPECT_FALSE(p->bits.empty());
  clip::Close(cliptest::kOtherProgram);
  // Once the source is gone nothing is asked of it.
  clip::SetDesktopSource(nullptr);
  desktop.picture = Picture(10, 10, 0x102030);
  EXPECT_FALSE(JClipboardHasPicture());
}

}  // namespace
