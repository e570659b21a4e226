#include "app/colour/ColourTable.h"
#include "app/shell/PreviewWindow.h"
#include "app/shell/SaveDocument.h"
#include "documents_fixture.h"
#include "jwin/J_clipbo.h"
#include "tests/platform/metafile/wmf_builder.h"

namespace clip = platform::clipboard;

namespace {

// What tells the two notes apart.
const char kNoClipboardPicture[] = "doesn't hold a picture", kClipboardPictureUnavailable[] = "cannot be taken";

// A metafile picture of extents w x h: the whole box in one colour, a smaller box in another.
clip::MetafilePicture Picture(int w, int h, int32_t mode = clip::kMappingText) {
  WmfBuilder b;
  b.pen(5, 0, 0).brush(0, 0x2040C0).select(0).select(1).add(0x041B, {h, w, 0, 0});
  b.brush(0, 0xE0A010).select(2).add(0x041B, {h / 2, w / 2, 0, 0});
  clip::MetafilePicture p;
  p.mappingMode = mode;
  p.xExtent = w;
  p.yExtent = h;
  p.bits = b.bits();
  return p;
}

class Clipboard : public DocumentsTest {
 protected:
  void Put(const clip::MetafilePicture& p) {
    ASSERT_TRUE(clip::Open(kOtherProgram));
    clip::Empty(kOtherProgram);
    clip::SetMetafilePicture(kOtherProgram, p);
    clip::Close(kOtherProgram);
  }
  Document* fromClipboard() {
    const uint32_t before = OpenDocumentCount();
    NewPictureFromClipboard();
    drain();
    return OpenDocumentCount() > before ? ActiveDocument() : nullptr;
  }
};

TEST_F(Clipboard, OnlyAMetafilePictureCounts) {
  EXPECT_FALSE(JClipboardHasPicture());
  putOnClipboard("just words");
  EXPECT_FALSE(JClipboardHasPicture());
  EXPECT_EQ(JClipboardGetPicture(), nullptr);
  const int beeps = wm().beepCount();
  EXPECT_EQ(fromClipboard(), nullptr);
  EXPECT_NE(messageShown().find(kNoClipboardPicture), std::string::npos) << messageShown();
  EXPECT_EQ(wm().beepCount(), beeps + 1);  // the note comes with a beep
  Put(Picture(32, 20));
  EXPECT_TRUE(JClipboardHasPicture());
  // While another program holds the clipboard open, there is none.
  ASSERT_TRUE(clip::Open(kOtherProgram));
  EXPECT_FALSE(JClipboardHasPicture());
  EXPECT_EQ(JClipboardGetPicture(), nullptr);
  clip::Close(kOtherProgram);
  // Every read closes the clipboard again.
  JClipPicture* p = JClipboardGetPicture();
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(clip::IsOpen());
  JClipPictureFree(p);
}

TEST_F(Clipboard, APictureBecomesADocumentThatOutlivesTheClipboard) {
  Put(Picture(320, 200));
  Document* d = fromClipboard();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(std::make_pair(d->width, d->height), std::make_pair(int16_t{320}, int16_t{200}));
  EXPECT_EQ(d->fileSpec, nullptr);
  EXPECT_EQ(d->colourTable->count, 2u);
  putOnClipboard("");  // the picture is gone from the clipboard: shown and saved from its own copy
  RedrawPreview(d);
  drain();
  const int cx = d->centreX, cy = d->centreY;
  EXPECT_EQ(shown(d->window, cx + 10, cy + 10), 0xE0A010u);
  EXPECT_EQ(shown(d->window, cx + 300, cy + 150), 0x2040C0u);
  JFileSpec* out = fileSpec("clip.gif");
  EXPECT_TRUE(SaveDocumentAsGif(d, out));
  JFileSpecFree(out);
  const giftest::Screen s = giftest::DecodeScreen(readFile("clip.gif"));
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.pixels[10 * 320 + 10], 0xE0A010u);
  EXPECT_EQ(s.pixels[199 * 320 + 319], 0x2040C0u);
}

TEST_F(Clipboard, APictureWithoutAUsableFrameOrWithDamagedBitsMakesNoDocument) {
  clip::MetafilePicture damaged = Picture(10, 10);
  WmfBuilder b;
  b.brush(0, 0x2040C0).select(0).add(0x041B, {10, 10, 0, 0}).addRaw(0, 0x041B, {});
  damaged.bits = b.bits();  // records damaged after a sound header, refused as in a file
  clip::MetafilePicture cut = Picture(10, 10);
  cut.bits.resize(7);  // not a metafile at all
  // Another mapping mode's extents are not pixels; pixels as units but no extent.
  for (const clip::MetafilePicture& p : {Picture(64, 64, 8), Picture(0, 40), cut, damaged}) {
    Put(p);
    EXPECT_TRUE(JClipboardHasPicture());
    EXPECT_EQ(fromClipboard(), nullptr) << p.xExtent << "x" << p.yExtent << ", " << p.bits.size() << " bytes";
    EXPECT_NE(messageShown().find(kClipboardPictureUnavailable), std::string::npos) << messageShown();
  }
  EXPECT_EQ(OpenDocumentCount(), 0u);
}

}  // namespace
