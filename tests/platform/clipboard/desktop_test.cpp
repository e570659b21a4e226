// Pictures and text between the process and the desktop's clipboard: which is the newest,
// when the desktop is asked, and what it is told, shown with a desktop that keeps count.
#include <random>

#include "clipboard_test_util.h"
#include "jindep/memory.h"
#include "platform/clipboard/Latin1.h"
#include "tests/platform/metafile/wmf_builder.h"

namespace clip = platform::clipboard;

namespace {

using cliptest::ClipboardTest;
using cliptest::FakeDesktop;

clip::MetafilePicture Picture(int w, int h, uint32_t colour) {
  WmfBuilder b;
  b.pen(5, 0, 0).brush(0, colour).select(0).select(1).add(0x041B, {h, w, 0, 0});
  clip::MetafilePicture p;
  p.xExtent = w;
  p.yExtent = h;
  p.bits = b.bits();
  return p;
}

// The clipboard's text as the toolkit reads it; "<none>" when it has none.
std::string Pasted() {
  char* text = JClipboardGetText();
  const std::string got = text ? text : "<none>";
  JFree(text);
  return got;
}

TEST_F(ClipboardTest, TheDesktopsPictureIsAskedForOnlyWhenOpenAndTheProcessHoldsNone) {
  FakeDesktop desktop;
  desktop.picture = Picture(30, 20, 0x2040C0);
  clip::SetDesktopSource(&desktop);
  // Closed: no picture, and no question to the desktop.
  EXPECT_FALSE(clip::HasFormat(clip::kMetafilePicture));
  EXPECT_EQ(desktop.asked + desktop.taken, 0);
  std::unique_ptr<platform::Bitmap> drawn = cliptest::TakeAndDraw();
  ASSERT_TRUE(drawn);
  EXPECT_EQ(drawn->width(), 30);
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
  // Text on the desktop's clipboard is not a picture.
  desktop.text = "words";
  EXPECT_EQ(JClipboardGetPicture(), nullptr);
  // A picture taken stays valid until the clipboard is closed.
  desktop.picture = Picture(10, 10, 0x102030);
  ASSERT_TRUE(clip::Open(cliptest::kOtherProgram));
  const clip::MetafilePicture* p = clip::GetMetafilePicture();
  ASSERT_NE(p, nullptr);
  desktop.picture.reset();
  EXPECT_EQ(p->xExtent, 10);
  clip::Close(cliptest::kOtherProgram);

  // A picture the process put on the clipboard comes first; the desktop is not asked.
  desktop.picture = Picture(30, 20, 0x2040C0);
  cliptest::Put(Picture(8, 6, 0xE0A010));
  const int asked = desktop.asked, taken = desktop.taken;
  drawn = cliptest::TakeAndDraw();
  ASSERT_TRUE(drawn);
  EXPECT_EQ(drawn->row32(3)[4], 0xE0A010u);
  EXPECT_EQ(desktop.asked + desktop.taken, asked + taken);
  // Once the source is gone nothing is asked of it.
  clip::Reset();
  clip::SetDesktopSource(nullptr);
  EXPECT_FALSE(JClipboardHasPicture());
  EXPECT_EQ(desktop.asked + desktop.taken, asked + taken);
}

TEST_F(ClipboardTest, TheProcessesCopyIsTheNewestTextUntilAnotherProgramCopies) {
  FakeDesktop desktop;
  clip::SetDesktopSource(&desktop);
  EXPECT_FALSE(JClipboardHasText());
  EXPECT_EQ(Pasted(), "<none>");
  desktop.copyElsewhere("from the desktop");
  EXPECT_TRUE(JClipboardHasText());
  EXPECT_EQ(Pasted(), "from the desktop");

  // A copy in the program is offered to the desktop once, and read back without a
  // question to the desktop.
  ASSERT_TRUE(JClipboardPutText("copied here"));
  EXPECT_EQ(desktop.published, std::vector<std::string>{"copied here"});
  const int asked = desktop.asked, taken = desktop.taken;
  EXPECT_TRUE(JClipboardHasText());
  EXPECT_EQ(Pasted(), "copied here");
  EXPECT_EQ(desktop.asked, asked);
  EXPECT_EQ(desktop.taken, taken);

  // Another program's copy wins from the next look on, and again a copy here after it.
  desktop.copyElsewhere("copied there");
  EXPECT_EQ(Pasted(), "copied there");
  ASSERT_TRUE(JClipboardPutText("and here again"));
  EXPECT_EQ(Pasted(), "and here again");

  // When the other program copied something that is not text, the old text does not
  // come back.
  desktop.copyElsewhere(std::nullopt);
  EXPECT_FALSE(JClipboardHasText());
  EXPECT_EQ(Pasted(), "<none>");
  EXPECT_EQ(desktop.published.size(), 2u);
}

TEST_F(ClipboardTest, AReaderSeesNoChangeWhileItHoldsTheClipboardOpen) {
  FakeDesktop desktop;
  clip::SetDesktopSource(&desktop);
  ASSERT_TRUE(JClipboardPutText("ours"));
  ASSERT_TRUE(clip::Open(cliptest::kOtherProgram));
  const std::string* held = clip::GetText();
  ASSERT_NE(held, nullptr);
  desktop.text = "theirs";
  clip::DesktopChanged();
  EXPECT_EQ(*held, "ours");
  EXPECT_EQ(*clip::GetText(), "ours");
  clip::Close(cliptest::kOtherProgram);
  EXPECT_EQ(Pasted(), "theirs");

  // Text put while the clipboard is open is newer than a change the desktop reports
  // meanwhile: it stays and goes out on closing.
  ASSERT_TRUE(clip::Open(cliptest::kOtherProgram));
  clip::SetText(cliptest::kOtherProgram, "newest");
  desktop.text = "older";
  clip::DesktopChanged();
  clip::Close(cliptest::kOtherProgram);
  EXPECT_EQ(Pasted(), "newest");
  EXPECT_EQ(desktop.published.back(), "newest");
}

TEST_F(ClipboardTest, TheDesktopIsToldOnceOnClosingAndOnlyOfChangedText) {
  FakeDesktop desktop;
  clip::SetDesktopSource(&desktop);
  ASSERT_TRUE(clip::Open(cliptest::kOtherProgram));
  clip::SetText(cliptest::kOtherProgram, "first");
  clip::SetText(cliptest::kOtherProgram, "second");
  EXPECT_TRUE(desktop.published.empty());
  clip::Close(cliptest::kOtherProgram);
  EXPECT_EQ(desktop.published, std::vector<std::string>{"second"});

  // A picture alone changes no text; emptying a clipboard with text withdraws it.
  cliptest::Put(clip::MetafilePicture{});
  EXPECT_EQ(desktop.published, (std::vector<std::string>{"second", "<none>"}));
  cliptest::Put(clip::MetafilePicture{});
  EXPECT_EQ(desktop.published.size(), 2u);
  // Opening and reading change nothing.
  EXPECT_FALSE(JClipboardHasText());
  EXPECT_EQ(desktop.published.size(), 2u);
}

TEST_F(ClipboardTest, AnyBytesMakeTheRoundTripThroughLatin1) {
  EXPECT_EQ(clip::Utf8FromLatin1("caf\xE9"), "caf\xC3\xA9");
  // Beyond Latin-1: one '?' a character, whatever its length in bytes.
  EXPECT_EQ(clip::Latin1FromUtf8("\xE2\x82\xAC 5 \xF0\x9F\x98\x80!"), "? 5 ?!");
  // Latin-1 to UTF-8 and back gives the bytes again.
  std::mt19937 random(7);
  for (int round = 0; round < 500; ++round) {
    std::string bytes(random() % 40, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 256);
    ASSERT_EQ(clip::Latin1FromUtf8(clip::Utf8FromLatin1(bytes)), bytes);
  }
}

}  // namespace
