// Text fields on the headless desktop: what is drawn where, the caret and the selection
// under keys and the mouse, and the clipboard keys a field handles itself.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_std.h"
#include "platform/clipboard/Clipboard.h"
#include "tests/jwin/window/toolkit_fixture.h"

namespace {

namespace clip = platform::clipboard;
using platform::wm::kCtrl;
using platform::wm::kShift;


bool Ink(platform::Colour c) { return ((c >> 16) & 255) < 60 && ((c >> 8) & 255) < 60 && (c & 255) < 60; }
bool SelectionColour(platform::Colour c) { return (c & 0xFFFFFF) == 0x0A246A; }

class TextFields : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    clip::Reset();
    window_ = JNewWindow(nullptr, "Fields", kJWindowSizable);
    JSizeWindow(window_, 400, 200);
    JShowAndActivateWindow(window_);
    field_ = JNewTextField(window_, nullptr, 40, 40, "");
    JSizeWidget(field_, 120, field_->height);
    JShowWidget(field_);
    drain();
  }
  void TearDown() override {
    clip::Reset();
    ToolkitTest::TearDown();
  }
  platform::Rect client() { return screenClient(window_); }
  int sx(int x) { return client().left + x; }
  int sy(int y) { return client().top + y; }
  // A key as the desktop backend gives it: only character keys type a character.
  void key(uint16_t code, uint8_t mods = 0) {
    input().key(code, code < 0x100 && code != platform::wm::kKeyDelete ? code : 0, mods);
    drain();
  }
  void type(const std::string& s) {
    input().type(s);
    drain();
  }
  // A press on the field at a local x, half way down.
  void pressAt(int x, uint8_t mods = 0) {
    input().click(sx(x), sy(field_->y + field_->height / 2), mods);
    drain();
  }
  std::string text() { return JGetFieldText(field_); }
  std::pair<size_t, size_t> selection() {
    size_t a, b;
    JFieldSelection(field_, &a, &b);
    return {a, b};
  }
  // Every pixel of the window's content, row by row; those of the field are left out.
  std::vector<platform::Colour> outsideField() {
    wm().compose();
    std::vector<platform::Colour> out;
    for (int y = 0; y < client().height(); ++y)
      for (int x = 0; x < client().width(); ++x)
        if (x < field_->x || x >= field_->x + field_->width || y < field_->y || y >= field_->y + field_->height)
          out.push_back(wm().screen().pixel(sx(x), sy(y)));
    return out;
  }
  // The columns of the field whose ink runs the whole height of a line: the caret.
  std::vector<int> caretColumns() {
    wm().compose();
    int16_t width = 0, lineHeight = 0;
    tidge::TextSize(field_, "M", &width, &lineHeight);
    const int top = field_->y + (field_->height - lineHeight) / 2;
    std::vector<int> columns;
    for (int x = field_->x; x < field_->x + field_->width; ++x) {
      bool full = true;
      for (int y = top; y < top + lineHeight && full; ++y) full = Ink(wm().screen().pixel(sx(x), sy(y)));
      if (full) columns.push_back(x);
    }
    return columns;
  }
  template <typename Pred>
  int countInField(Pred pred) {
    wm().compose();
    int n = 0;
    for (int y = field_->y; y < field_->y + field_->height; ++y)
      for (int x = field_->x; x < field_->x + field_->width; ++x) n += pred(wm().screen().pixel(sx(x), sy(y)));
    return n;
  }

  JWindow* window_ = nullptr;
  JWidget* field_ = nullptr;
};

}  // namespace

TEST_F(TextFields, ALongTextStaysInsideTheFieldWithItsEndShownThenItsStart) {
  JWidget* neighbour = JNewTextField(window_, nullptr, static_cast<int16_t>(field_->x + field_->width + 2), 40, "");
  JShowWidget(neighbour);
  pressAt(field_->x + 10);
  const std::vector<platform::Colour> before = outsideField();
  type(std::string(120, 'W') + "/pictures/a very long name.gif");
  EXPECT_TRUE(before == outsideField());  // nothing drawn outside the field, the neighbour included
  // Typing at the end keeps the caret, and so the text's end, at the right of the field.
  std::vector<int> caret = caretColumns();
  ASSERT_EQ(caret.size(), 1u);
  EXPECT_GE(caret[0], field_->x + field_->width - 8);
  EXPECT_LT(caret[0], field_->x + field_->width - 1);
  // Home shows the start: the caret at the left, and the leading Ws fill the field.
  key(platform::wm::kKeyHome);
  caret = caretColumns();
  ASSERT_EQ(caret.size(), 1u);
  EXPECT_LE(caret[0], field_->x + 6);
  EXPECT_GT(countInField(Ink), 200);
}

// Caret and selection arithmetic under every key is checked by the random model
// below, and the clipboard keys by the Edit menu's tests; this is what they do not
// see: the highlight, and keys that belong to the window.
TEST_F(TextFields, TheSelectionIsDrawnHighlightedUntilTypingReplacesIt) {
  pressAt(field_->x + 10);
  type("hello world");
  for (int i = 0; i < 5; ++i) key(platform::wm::kKeyLeft, kShift);
  EXPECT_GT(countInField(SelectionColour), 20);
  type("x");
  EXPECT_EQ(countInField(SelectionColour), 0);
  key(platform::wm::kKeyUp);
  EXPECT_EQ(text(), "hello x");
}

TEST_F(TextFields, RandomEditsAgreeWithAModelOfCharactersCaretAndSelection) {
  // The model keeps whole characters; the field keeps bytes.
  const std::vector<std::string> alphabet = {"a", "Z", " ", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
  std::mt19937 random(1234);
  pressAt(field_->x + 5);
  std::vector<std::string> chars;
  size_t caret = 0, anchor = 0;
  auto bytesTo = [&](size_t n) {
    size_t b = 0;
    for (size_t i = 0; i < n; ++i) b += chars[i].size();
    return b;
  };
  auto removeSelection = [&] {
    const size_t lo = std::min(caret, anchor), hi = std::max(caret, anchor);
    chars.erase(chars.begin() + static_cast<long>(lo), chars.begin() + static_cast<long>(hi));
    caret = anchor = lo;
  };
  for (int step = 0; step < 400; ++step) {
    const int op = static_cast<int>(random() % 9);
    const bool shift = random() % 2;
    const uint8_t mods = shift ? kShift : 0;
    const bool selected = caret != anchor;
    const size_t lo = std::min(caret, anchor), hi = std::max(caret, anchor);
    const uint16_t moves[] = {platform::wm::kKeyLeft, platform::wm::kKeyRight, platform::wm::kKeyHome,
                              platform::wm::kKeyEnd};
    const size_t movedTo[] = {selected && !shift ? lo : caret > 0 ? caret - 1 : 0,
                              selected && !shift ? hi : std::min(caret + 1, chars.size()), 0, chars.size()};
    switch (op) {
      case 0:
      case 1:
      case 2:
      case 3:
        key(moves[op], mods);
        caret = movedTo[op];
        if (!shift) anchor = caret;
        break;
      case 4:
        key(platform::wm::kKeyBackspace);
        if (!selected && caret > 0) anchor = caret - 1;
        removeSelection();
        break;
      case 5:
        key(platform::wm::kKeyDelete);
        if (!selected && caret < chars.size()) anchor = caret + 1;
        removeSelection();
        break;
      default: {
        const std::string& c = alphabet[random() % alphabet.size()];
        type(c);
        removeSelection();
        chars.insert(chars.begin() + static_cast<long>(caret), c);
        caret = anchor = caret + 1;
      }
    }
    std::string expected;
    for (const std::string& c : chars) expected += c;
    ASSERT_EQ(text(), expected) << "step " << step;
    ASSERT_EQ(JFieldCaret(field_), bytesTo(caret)) << "step " << step;
    ASSERT_EQ(selection(), std::make_pair(bytesTo(std::min(caret, anchor)), bytesTo(std::max(caret, anchor))))
        << "step " << step;
    // Whatever the caret's place, it is drawn inside the field when nothing is selected.
    if (step % 25 == 0 && caret == anchor) {
      const std::vector<int> columns = caretColumns();
      ASSERT_FALSE(columns.empty()) << "step " << step;
      EXPECT_GT(columns.front(), field_->x);
      EXPECT_LT(columns.back(), field_->x + field_->width - 1);
    }
  }
}

TEST_F(TextFields, TheMousePlacesTheCaretDragsASelectionAndDoubleClickSelectsAll) {
  JSetFieldText(field_, "abcdefgh");
  pressAt(field_->x + 2);  // left of the first character
  EXPECT_EQ(JFocus(window_), field_);
  EXPECT_EQ(selection(), std::make_pair(size_t{0}, size_t{0}));
  pressAt(field_->x + field_->width - 3);  // right of the last
  EXPECT_EQ(selection(), std::make_pair(size_t{8}, size_t{8}));
  clock().advance(1000);
  pressAt(field_->x + 2, kShift);  // Shift extends from the caret
  EXPECT_EQ(selection(), std::make_pair(size_t{0}, size_t{8}));
  clock().advance(1000);
  // A drag from inside the text to past its end selects from the press onwards.
  const int y = sy(field_->y + field_->height / 2);
  pressAt(field_->x + 2);
  clock().advance(1000);
  input().drag(sx(field_->x + 2), y, sx(field_->x + field_->width + 40), y);
  drain();
  EXPECT_EQ(selection(), std::make_pair(size_t{0}, size_t{8}));
  // Moving over the field without a press selects nothing.
  clock().advance(1000);
  pressAt(field_->x + field_->width - 3);
  input().mouseMove(sx(field_->x + 2), y);
  drain();
  EXPECT_EQ(selection(), std::make_pair(size_t{8}, size_t{8}));
  // Two presses in quick succession select the whole text.
  clock().advance(1000);
  JSetFieldText(field_, "one two");
  pressAt(field_->x + 20);
  clock().advance(100);
  pressAt(field_->x + 20);
  EXPECT_EQ(selection(), std::make_pair(size_t{0}, size_t{7}));
  // A third press starts over.
  clock().advance(100);
  pressAt(field_->x + 2);
  EXPECT_EQ(selection(), std::make_pair(size_t{0}, size_t{0}));
}

TEST_F(TextFields, DraggingPastTheEdgeScrollsALongText) {
  const std::string long_text(200, 'm');
  JSetFieldText(field_, long_text.c_str());
  pressAt(field_->x + 2);
  key(platform::wm::kKeyHome);
  clock().advance(1000);
  const int y = sy(field_->y + field_->height / 2);
  input().mouseDown(sx(field_->x + 2), y);
  input().mouseMove(sx(field_->x + field_->width + 30), y);
  drain();
  const size_t first = selection().second;
  EXPECT_GT(first, 0u);
  EXPECT_LT(first, long_text.size());
  // Held there, the text scrolls on by itself to the end.
  for (int i = 0; i < 400; ++i) {
    clock().advance(60);
    JEventStep(nullptr, false);
  }
  EXPECT_EQ(selection(), std::make_pair(size_t{0}, long_text.size()));
  EXPECT_TRUE(caretColumns().empty());  // a selection, no caret
  // Back inside, and released: the selection ends under the pointer, and stays.
  input().mouseMove(sx(field_->x + field_->width / 2), y);
  input().mouseUp(sx(field_->x + field_->width / 2), y);
  drain();
  const size_t end = selection().second;
  EXPECT_LT(end, long_text.size());
  EXPECT_GT(end, long_text.size() - 20);
  for (int i = 0; i < 20; ++i) {
    clock().advance(60);
    JEventStep(nullptr, false);
  }
  EXPECT_EQ(selection().second, end);
}

TEST_F(TextFields, PasteTakesOneCleanLineOrNothing) {
  pressAt(field_->x + 5);
  // Only the first line comes in, without control characters or broken UTF-8.
  putOnClipboard("x\ty\x01z\xC3\xA9\xC3\xFF!\r\nsecond line");
  key('v', kCtrl);
  EXPECT_EQ(text(), "xyz\xC3\xA9!");
  EXPECT_EQ(JFieldCaret(field_), 6u);
  // Nothing to paste: nothing changes.
  clip::Reset();
  key('v', kCtrl);
  EXPECT_EQ(text(), "xyz\xC3\xA9!");
}

TEST_F(TextFields, TheActionHearsEveryChangeOfTheTextAndMayReplaceIt) {
  static int changes = 0;
  changes = 0;
  // An owner that keeps at most five characters, as a dialog limits its names.
  JSetFieldAction(field_, [](JWidget* f) {
    ++changes;
    const std::string t = JGetFieldText(f);
    if (t.size() > 5) JSetFieldText(f, t.substr(0, 5).c_str());
  });
  pressAt(field_->x + 5);
  type("abc");
  key(platform::wm::kKeyLeft, kShift);
  key(platform::wm::kKeyHome);  // moving and selecting change no text
  EXPECT_EQ(changes, 3);
  putOnClipboard("0123456789");
  key('v', kCtrl);
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(text(), "01234");
  EXPECT_EQ(JFieldCaret(field_), 5u);  // the owner's text puts the caret at its end
}

TEST_F(TextFields, SelectionOffsetsAreClampedToWholeCharacters) {
  JSetFieldText(field_, "a\xE2\x82\xAC" "b");  // a € b
  JSetFieldSelection(field_, 2, 100);
  EXPECT_EQ(selection(), std::make_pair(size_t{1}, size_t{5}));
  EXPECT_EQ(JFieldCaret(field_), 5u);
  JSetFieldSelection(field_, 4, 0);  // the caret may stand before the anchor
  EXPECT_EQ(selection(), std::make_pair(size_t{0}, size_t{4}));
  EXPECT_EQ(JFieldCaret(field_), 0u);
  // Not a field: asked for nothing, answers nothing.
  JWidget* label = JNewLabel(window_, nullptr, 0, 0, "label");
  JSetFieldSelection(label, 0, 3);
  EXPECT_FALSE(JFieldHasSelection(label));
  EXPECT_FALSE(JFieldCopy(label));
  EXPECT_FALSE(JFieldPaste(nullptr));
}
