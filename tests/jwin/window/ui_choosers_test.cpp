// Popup buttons and swatch buttons driven as a user drives them: presses, drags and
// releases on the headless screen, with the pop-ups read back where they opened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jindep/Ji_tidge_popup.h"
#include "jindep/Ji_tidge_swatch.h"
#include "jwin/pixel_map.h"
#include "toolkit_fixture.h"

namespace {

std::vector<int> changes;
std::vector<JColour> colours;

class Choosers : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    changes.clear();
    colours.clear();
    window_ = JNewWindow(nullptr, "Choosers", kJWindowSizable);
    JShowAndActivateWindow(window_);
    drain();
  }
  JWidget* popup(std::vector<const char*> items, uint16_t selected) {
    JWidget* p = JNewPopup(window_, nullptr, 40, 120);
    JSetPopupItems(p, static_cast<uint16_t>(items.size()), reinterpret_cast<const void* const*>(items.data()));
    JSetPopupSelection(p, selected);
    JSetPopupOnChange(p, [](JWidget*, uint16_t i) { changes.push_back(i); });
    JShowWidget(p);
    drain();
    return p;
  }
  // The middle of a widget on the screen.
  platform::Point middle(const JWidget* w) {
    const platform::Rect c = screenClient(window_);
    return {c.left + w->x + w->width / 2, c.top + w->y + w->height / 2};
  }
  static platform::Point centre(JRect r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  static bool inside(JRect r, platform::Point p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
  void press(platform::Point p, uint8_t mods = 0) {
    input().mouseDown(p.x, p.y, 1, mods);
    drain();
  }
  void moveTo(platform::Point p) {
    input().mouseMove(p.x, p.y);
    drain();
  }
  void release(platform::Point p) {
    input().mouseUp(p.x, p.y);
    drain();
  }
  void tick(int ms) {
    clock().advance(static_cast<uint32_t>(ms));
    JEventStep(nullptr, false);
  }
  JWindow* window_ = nullptr;
};

// The list opens with the selected item under the pointer; the path of the pointer after the
// press (item indices; -1 is left of the list), released at its end: a shaking hand chooses
// nothing, and an item without text is never chosen.
TEST_F(Choosers, MovesArmTheListOnlyAfterTheyLeaveTheFirstNeighbour) {
  const struct {
    std::vector<int> path;
    int chosen;  // -1: nothing
  } cases[] = {
      {{}, -1},       {{0}, -1},  // the first neighbour alone is jitter
      {{1, 0}, 0},    {{0, 2}, 2},  // armed on the start, or by a second neighbour
      {{1, 3}, -1},   {{1, 2, -1}, -1},
  };
  for (const auto& c : cases) {
    changes.clear();
    JWidget* p = popup({"a", "b", "c", nullptr}, 1);
    press(middle(p));
    EXPECT_TRUE(inside(JPopupListItemRect(1), middle(p))) << "opens with the selected item under the pointer";
    platform::Point at = middle(p);
    for (int item : c.path) {
      at = item < 0 ? platform::Point{JPopupListItemRect(0).left - 20, at.y} : centre(JPopupListItemRect(static_cast<uint16_t>(item)));
      moveTo(at);
    }
    release(at);
    EXPECT_EQ(changes, c.chosen < 0 ? std::vector<int>{} : std::vector<int>{c.chosen}) << "path of " << c.path.size();
    JDisposeWidget(p);
  }
}

TEST_F(Choosers, KeysChooseWithTheFocusAndInTheOpenList) {
  JWidget* p = popup({"2 colours", "4 colours", nullptr, "16 colours"}, 0);
  JSetFocus(window_, p);
  input().key(platform::wm::kKeyDown);
  input().key(platform::wm::kKeyDown);  // over the item without text
  input().key(platform::wm::kKeyHome);
  drain();
  EXPECT_EQ(changes, (std::vector<int>{1, 3, 0}));
  changes.clear();
  press(middle(p));
  input().key(platform::wm::kKeyDown);
  input().key(platform::wm::kKeyEscape, 27);
  drain();
  EXPECT_EQ(JOpenPopupList(), nullptr);
  release(middle(p));
  EXPECT_TRUE(changes.empty());
  press(middle(p));
  input().key(platform::wm::kKeyDown);
  input().key(platform::wm::kKeyReturn, 13);
  drain();
  release(middle(p));
  EXPECT_EQ(changes, std::vector<int>{1});
}

// A list taller than the main window scrolls while the pointer rests in a zone at its foot,
// until the last item comes into view above the zone and no further.
TEST_F(Choosers, ATallListScrollsToItsEndAndNoFurther) {
  std::vector<std::string> names;
  for (int i = 0; i < 80; ++i) names.push_back("item " + std::to_string(i));
  std::vector<const char*> items;
  for (const auto& n : names) items.push_back(n.c_str());
  JWidget* p = popup(items, 0);
  press(middle(p));
  EXPECT_TRUE(inside(JPopupListItemRect(0), wm().pointer())) << "the pointer is moved onto the selected item";
  const platform::Rect list = screenClient(JOpenPopupList());
  moveTo({list.left + 5, list.bottom - 12});
  moveTo({list.left + 5, list.bottom - 1});
  for (int i = 0; i < 2000; ++i) tick(10);
  EXPECT_EQ(JPopupListItemRect(79).bottom, list.bottom - 12 - 1);  // the list ends in a 1-pixel gap
  release({list.left + 5, list.bottom - 1});
}

TEST_F(Choosers, AWhiteSwatchOpensTheCubeWithItsWhiteCellUnderThePointer) {
  JWidget* s = JNewSwatch(window_, nullptr, 300, 200);
  const JColour white = {65535, 65535, 65535};
  JSetSwatchColour(s, &white);
  JSetSwatchOnChange(s, [](JWidget*, const JColour* c, uint32_t) { colours.push_back(*c); });
  JShowWidget(s);
  drain();
  press(middle(s));
  ASSERT_NE(JOpenSwatchPalette(), nullptr);
  EXPECT_TRUE(inside(JSwatchCellRect(63), middle(s)));
  // Released on its own cell: closed, no change.
  moveTo({middle(s).x + 1, middle(s).y});
  release({middle(s).x + 1, middle(s).y});
  EXPECT_EQ(JOpenSwatchPalette(), nullptr);
  EXPECT_TRUE(colours.empty());
  // Jitter onto a neighbour is ignored; the next cell arms and black (cell 0) is taken.
  press(middle(s));
  moveTo(centre(JSwatchCellRect(62)));
  moveTo(centre(JSwatchCellRect(0)));
  release(centre(JSwatchCellRect(0)));
  ASSERT_EQ(colours.size(), 1u);
  EXPECT_EQ(colours[0].red + colours[0].green + colours[0].blue, 0);
  EXPECT_EQ(JSwatchColour(s).red, 0);
  // A click leaves the palette open for a second click, on the cell chosen.
  input().click(middle(s).x, middle(s).y);
  drain();
  ASSERT_NE(JOpenSwatchPalette(), nullptr);
  const platform::Point cell = centre(JSwatchCellRect(5));
  moveTo(middle(s));
  moveTo(cell);
  input().click(cell.x, cell.y);
  drain();
  EXPECT_EQ(JOpenSwatchPalette(), nullptr);
  ASSERT_EQ(colours.size(), 2u);
  EXPECT_EQ(colours[1].green, JSwatchPaletteColours()[5].green);
  // The shared palette is made again when the display changes, not at every pop-up.
  JSetDisplayDepth(4);  // 16 colours and the cube computed: a single black cell
  EXPECT_EQ(JSwatchPaletteCount(), 1u);
  JSetDisplayDepth(32);
  EXPECT_EQ(JSwatchPaletteCount(), 64u);
}

}  // namespace
