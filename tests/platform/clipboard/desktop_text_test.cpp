// Text between the process and the desktop's clipboard: which text is the newest, when
// the desktop is asked, and what it is told, shown with a desktop that keeps count.
#include <random>

#include "clipboard_test_util.h"
#include "jindep/memory.h"
#include "platform/clipboard/Latin1.h"

namespace clip = platform::clipboard;

namespace {

using cliptest::ClipboardTest;

class FakeDesktop : public clip::DesktopSource {
 public:
  bool offersPicture() override { return false; }
  std::optional<clip::MetafilePicture> takePicture() override { return std::nullopt; }
  bool offersText() override {
    ++asked;
    return text.has_value();
  }
  std::optional<std::string> takeText() override {
    ++taken;
    return text;
  }
  void publishText(const std::string* offered) override {
    published.push_back(offered ? *offered : "<none>");
    // Offering the process's text makes the process the desktop's owner, as on X.
    text = offered ? std::optional<std::string>(*offered) : std::nullopt;
  }
  void catchUp() override {
    if (!copiedElsewhere) return;
    copiedElsewhere = false;
    clip::DesktopChanged();
  }
  // Another program copies: its text becomes the desktop's, and the process hears of it
  // the next time it looks.
  void copyElsewhere(std::optional<std::string> theirs) {
    text = std::move(theirs);
    copiedElsewhere = true;
  }

  std::optional<std::string> text;
  std::vector<std::string> published;
  bool copiedElsewhere = false;
  int asked = 0;
  int taken = 0;
};

// The clipboard's text as the toolkit reads it; "<none>" when it has none.
std::string Pasted() {
  char* text = JClipboardGetText();
  const std::string got = text ? text : "<none>";
  JFree(text);
  return got;
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

  // While the toolkit holds the clipboard, nothing is put, read or asked.
  JClipboardSetHeld(true);
  const int asked = desktop.asked;
  EXPECT_FALSE(JClipboardPutText("held"));
  EXPECT_FALSE(JClipboardHasText());
  JClipboardSetHeld(false);
  EXPECT_EQ(desktop.asked, asked);
  EXPECT_EQ(desktop.published.size(), 2u);
}

TEST_F(ClipboardTest, TextMakesTheRoundTripThroughLatin1) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  const std::string utf8 = clip::Utf8FromLatin1(all);
  EXPECT_EQ(utf8.size(), 127u + 2 * 128u);
  EXPECT_EQ(clip::Utf8FromLatin1("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(clip::Latin1FromUtf8(utf8), all);
  // Beyond Latin-1: one '?' a character, whatever its length in bytes.
  EXPECT_EQ(clip::Latin1FromUtf8("\xE2\x82\xAC 5 \xF0\x9F\x98\x80!"), "? 5 ?!");

  // Any bytes at all: Latin-1 to UTF-8 and back gives them again, and the UTF-8 is
  // well formed (lead bytes C2 or C3, each followed by one continuation byte).
  std::mt19937 random(7);
  for (int round = 0; round < 500; ++round) {
    std::string bytes(random() % 40, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 256);
    const std::string converted = clip::Utf8FromLatin1(bytes);
    ASSERT_EQ(clip::Latin1FromUtf8(converted), bytes);
    for (size_t i = 0; i < converted.size(); ++i) {
      const unsigned char b = static_cast<unsigned char>(converted[i]);
      if (b < 0x80) continue;
      ASSERT_TRUE(b == 0xC2 || b == 0xC3);
      ASSERT_LT(i + 1, converted.size());
      ASSERT_EQ(static_cast<unsigned char>(converted[++i]) & 0xC0, 0x80);
    }
  }
}

}  // namespace
