#include "tests/platform/wm/desk_fixture.h"

using namespace platform;
using namespace platform::wm;

namespace {

class Menus : public Desk {
 protected:
  void SetUp() override {
    Desk::SetUp();
    wm_.setSystemMenuTexts({"&Close\tCtrl+F4", "Nex&t\tCtrl+F6", "&Close\tAlt+F4"});
    Menu file{"&File", true, {}};
    file.items = {
        {"&Open...\tCtrl+O", 101}, {"&Close", 102, false}, {"", 0, true, false, true}, {"&Quit\tCtrl+Q", 103}};
    Menu edit{"&Edit", true, {{"&Copy\tCtrl+C", 201, true, true}}};
    wm_.setMenus({file, edit});
    run();
  }

  Point titleCentre(int index) {
    const Rect r = wm_.menuTitleRects()[static_cast<size_t>(index)];
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  Point itemCentre(int index) {
    const Rect r = wm_.popup().itemRects()[static_cast<size_t>(index)];
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  std::vector<uint32_t> commands(const std::vector<Message>& ms) {
    std::vector<uint32_t> out;
    for (const Message& m : ms)
      if (m.type == MessageType::Command) out.push_back(m.command);
    return out;
  }
  Colour at(Point p) { return wm_.screen().pixel(p.x, p.y); }
};

}  // namespace

TEST(MenuLabel, SplitsTheKeyboardLetterAndTheShortcut) {
  const struct {
    const char *label, *text;
    int underline;
    const char* shortcut;
  } cases[] = {{"&Open...\tCtrl+O", "Open...", 0, "Ctrl+O"}, {"Save &as", "Save as", 5, ""},
               {"Fish && Chips&", "Fish & Chips&", -1, ""}};
  for (const auto& c : cases) {
    const MenuLabel l = MenuLabel::Parse(c.label);
    EXPECT_EQ(l.text + "|" + std::to_string(l.underline) + "|" + l.shortcut,
              std::string(c.text) + "|" + std::to_string(c.underline) + "|" + c.shortcut);
  }
}

TEST_F(Menus, ClickingATitleOpensItsMenuAndAnItemPostsItsCommand) {
  const Point file = titleCentre(0);
  backend_.click(file.x, file.y);
  run();
  ASSERT_TRUE(wm_.popup().isOpen());
  EXPECT_EQ(wm_.popup().barIndex(), 0);
  EXPECT_EQ(wm_.popup().bounds().top, wm_.window(frame_)->menuBarRect().bottom);
  // The item under the pointer is highlighted.
  const Point open = itemCentre(0);
  backend_.mouseMove(open.x, open.y);
  run();
  EXPECT_EQ(wm_.popup().hot(), 0);
  EXPECT_EQ(at({wm_.popup().bounds().right - 4, open.y}), Palette::kActiveCaption);
  const Rect popupArea = wm_.popup().bounds();
  backend_.mouseDown(open.x, open.y);
  backend_.mouseUp(open.x, open.y);
  EXPECT_EQ(commands(run()), std::vector<uint32_t>{101});
  EXPECT_FALSE(wm_.popup().isOpen());
  // The area under the closed menu shows the frame's background again.
  EXPECT_EQ(at({popupArea.right - 4, popupArea.bottom - 4}), Palette::kWorkspace);
}

TEST_F(Menus, DisabledItemsAndClicksElsewhereOnlyClose) {
  const Point file = titleCentre(0);
  backend_.click(file.x, file.y);
  run();
  const Point closeItem = itemCentre(1);  // disabled
  backend_.click(closeItem.x, closeItem.y);
  EXPECT_TRUE(commands(run()).empty());
  EXPECT_FALSE(wm_.popup().isOpen());
  backend_.click(file.x, file.y);
  run();
  backend_.click(600, 500);  // on the document area: closes, and nothing else happens
  const std::vector<Message> ms = run();
  EXPECT_FALSE(wm_.popup().isOpen());
  for (const Message& m : ms) EXPECT_NE(m.type, MessageType::NonClientDown);
}

TEST_F(Menus, TheKeyboardWalksEnabledItemsAndMenus) {
  const Point file = titleCentre(0);
  backend_.click(file.x, file.y);
  backend_.key(kKeyDown);
  backend_.key(kKeyDown);  // skips the disabled item and the separator
  backend_.key(kKeyReturn, 13);
  EXPECT_EQ(commands(run()), std::vector<uint32_t>{103});
  backend_.click(file.x, file.y);
  backend_.key(kKeyRight);
  run();
  EXPECT_EQ(wm_.popup().barIndex(), 1);
  backend_.key(kKeyEscape, 27);
  run();
  EXPECT_FALSE(wm_.popup().isOpen());
}

TEST_F(Menus, SlidingAlongTheBarSwitchesMenus) {
  const Point file = titleCentre(0), edit = titleCentre(1);
  backend_.click(file.x, file.y);
  backend_.mouseMove(edit.x, edit.y);
  run();
  EXPECT_EQ(wm_.popup().barIndex(), 1);
  ASSERT_EQ(wm_.popup().items().size(), 1u);
  EXPECT_TRUE(wm_.popup().items()[0].checked);
}

TEST_F(Menus, SystemMenusCloseWindowsAndCycleDocuments) {
  WindowStyle s;
  s.systemMenu = true;
  const WindowId a = paintedWindow(WindowKind::Document, s, {10, 10, 210, 160}, 0x101010);
  const WindowId b = paintedWindow(WindowKind::Document, s, {50, 50, 250, 200}, 0x202020);
  run();
  auto openSystem = [&](WindowId id) {
    const Rect f = wm_.screenFrame(*wm_.window(id));
    const Rect box = wm_.window(id)->systemBoxRect().translated(f.left, f.top);
    backend_.click(box.left + 4, box.top + 4);
    run();
  };
  openSystem(b);
  ASSERT_TRUE(wm_.popup().isOpen());
  ASSERT_EQ(wm_.popup().items().size(), 2u);
  Point next = itemCentre(1);
  backend_.click(next.x, next.y);
  run();
  EXPECT_EQ(wm_.activeWindow(), a);
  openSystem(a);
  const Point close = itemCentre(0);
  backend_.click(close.x, close.y);
  EXPECT_EQ(Count(run(), MessageType::Close, a), 1);
  // The main frame's system menu carries the extra items after a separator.
  wm_.setSystemMenuExtras({{"&About...", 900}});
  openSystem(frame_);
  ASSERT_EQ(wm_.popup().items().size(), 3u);
  EXPECT_TRUE(wm_.popup().items()[1].separator);
  const Point about = itemCentre(2);
  backend_.click(about.x, about.y);
  EXPECT_EQ(commands(run()), std::vector<uint32_t>{900});
}
