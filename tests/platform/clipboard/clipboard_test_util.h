// Puts pictures on the clipboard as another program would and draws what the toolkit
// takes from it, so that a picture can be compared pixel for pixel with its source.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jwin/J_clipbo.h"
#include "jwin/J_draw.h"
#include "jwin/pixel_map.h"
#include "platform/Bitmap.h"
#include "platform/clipboard/Clipboard.h"

namespace cliptest {

constexpr uintptr_t kOtherProgram = 4343;

inline void Put(const platform::clipboard::MetafilePicture& picture) {
  namespace clip = platform::clipboard;
  ASSERT_TRUE(clip::Open(kOtherProgram));
  clip::Empty(kOtherProgram);
  clip::SetMetafilePicture(kOtherProgram, picture);
  clip::Close(kOtherProgram);
}

// The clipboard's picture taken by the toolkit and drawn into a fresh map of its frame's
// size (white first), as a new document is made from it. Null when there is none.
inline std::unique_ptr<platform::Bitmap> TakeAndDraw() {
  JClipPicture* p = JClipboardGetPicture();
  if (!p) return nullptr;
  JRect frame;
  JClipPictureFrame(p, &frame);
  std::unique_ptr<platform::Bitmap> copy;
  JPixMap* map = JPixMapNewDirect(static_cast<int16_t>(frame.right - frame.left),
                                  static_cast<int16_t>(frame.bottom - frame.top), 32);
  if (map) {
    platform::Bitmap* b = map->bitmap;
    for (int y = 0; y < b->height(); ++y)
      for (int x = 0; x < b->width(); ++x) b->row32(y)[x] = 0xFFFFFF;
    JSetDrawBitmap(map);
    EXPECT_TRUE(JClipPictureDraw(p));
    JResetDrawArea(nullptr);
    copy = platform::Bitmap::Create(b->width(), b->height(), 32);
    for (int y = 0; y < b->height(); ++y)
      for (int x = 0; x < b->width(); ++x) copy->row32(y)[x] = b->row32(y)[x] & 0xFFFFFF;
    JPixMapFree(map);
  }
  JClipPictureFree(p);
  return copy;
}

// The first pixel where the two differ, as text; empty when they are the same.
inline std::string FirstDifference(const platform::Bitmap& a, const platform::Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height())
    return "sizes " + std::to_string(a.width()) + "x" + std::to_string(a.height()) + " and " +
           std::to_string(b.width()) + "x" + std::to_string(b.height());
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if ((a.row32(y)[x] & 0xFFFFFF) != (b.row32(y)[x] & 0xFFFFFF))
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
  return "";
}

// A desktop whose clipboard holds what the test puts there, counting the questions and
// keeping what it is told.
class FakeDesktop : public platform::clipboard::DesktopSource {
 public:
  bool offersPicture() override { return ++asked, picture.has_value(); }
  std::optional<platform::clipboard::MetafilePicture> takePicture() override { return ++taken, picture; }
  bool offersText() override { return ++asked, text.has_value(); }
  std::optional<std::string> takeText() override { return ++taken, text; }
  void publishText(const std::string* offered) override {
    published.push_back(offered ? *offered : "<none>");
    // Offering the process's text makes the process the desktop's owner, as on X.
    text = offered ? std::optional<std::string>(*offered) : std::nullopt;
  }
  void catchUp() override {
    if (copiedElsewhere) platform::clipboard::DesktopChanged();
    copiedElsewhere = false;
  }
  // Another program copies text (or something else): the process hears of it the next
  // time it looks.
  void copyElsewhere(std::optional<std::string> theirs) {
    text = std::move(theirs);
    copiedElsewhere = true;
  }

  std::optional<platform::clipboard::MetafilePicture> picture;
  std::optional<std::string> text;
  std::vector<std::string> published;
  bool copiedElsewhere = false;
  int asked = 0, taken = 0;
};

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    JDrawInit();
    platform::clipboard::Reset();
  }
  void TearDown() override {
    platform::clipboard::SetDesktopSource(nullptr);
    platform::clipboard::Reset();
  }
};

}  // namespace cliptest
