#include "platform/wm/CaptionFont.h"
#include "platform/wm/FramePainter.h"
#include "tests/platform/wm/desk_fixture.h"

using namespace platform;
using namespace platform::wm;

namespace {

WindowStyle TopStyle(bool topmost) {
  WindowStyle s;
  s.topmost = topmost;
  return s;
}

}  // namespace

TEST_F(Desk, DocumentsStackAndClickingRaises) {
  const WindowId a = document({10, 10, 210, 160}, 0xFF0000);
  const WindowId b = document({100, 60, 300, 210}, 0x00FF00);
  run();
  const Rect ca = screenClient(a), cb = screenClient(b);
  const int ox = cb.left + 5, oy = cb.top + 5;  // inside both clients
  ASSERT_TRUE(ca.contains(ox, oy));
  EXPECT_EQ(at(ox, oy), 0x00FF00u);
  EXPECT_EQ(at(ca.left + 2, ca.top + 2), 0xFF0000u);
  EXPECT_EQ(wm_.activeWindow(), b);
  // A click on the lower window's visible part raises and activates it.
  backend_.click(ca.left + 2, ca.top + 2);
  const std::vector<Message> ms = run();
  EXPECT_EQ(at(ox, oy), 0xFF0000u);
  EXPECT_EQ(wm_.activeWindow(), a);
  EXPECT_EQ(Count(ms, MessageType::MouseDown, a), 1);
  EXPECT_EQ(Count(ms, MessageType::MouseUp, a), 1);
  bool sawB = false, sawA = false;
  for (const Message& m : ms) {
    if (m.type != MessageType::Activate) continue;
    if (m.window == b) sawB = !m.active;
    if (m.window == a) sawA = m.active && sawB;  // deactivation comes first
  }
  EXPECT_TRUE(sawA);
  EXPECT_EQ(at(screenFrame(b).right - 80, screenFrame(b).top + 8), Palette::kInactiveCaption);
}

TEST_F(Desk, DocumentsAreClippedToTheDocumentArea) {
  const Rect area = wm_.documentArea();
  const WindowId d = document({area.width() - 50, 100, area.width() + 150, 300}, 0x0000FF);
  run();
  const Rect c = screenClient(d);
  EXPECT_EQ(at(area.right - 5, c.top + 10), 0x0000FFu);
  // Beyond the area lies the main frame's border, then the desktop, never the document.
  for (int x = area.right; x < area.right + 60; ++x) ASSERT_NE(at(x, c.top + 10), 0x0000FFu) << x;
  EXPECT_EQ(at(900, c.top + 10), Palette::kDesktop);
  // And a click there does not reach it.
  EXPECT_NE(wm_.hitTest(area.right + 20, c.top + 10).window, d);
}

TEST_F(Desk, HitTestingFindsEveryPartOfAFrame) {
  const WindowId d = document({50, 50, 350, 250}, 0x123456);
  run();
  const Window& w = *wm_.window(d);
  const Rect f = screenFrame(d);
  const std::pair<Rect, HitPart> parts[] = {{w.closeBoxRect(), HitPart::CloseBox},
                                            {w.maximizeBoxRect(), HitPart::MaximizeBox},
                                            {w.minimizeBoxRect(), HitPart::MinimizeBox},
                                            {{20, 8, 21, 9}, HitPart::Caption},
                                            {w.clientRect(), HitPart::Client}};
  for (const auto& [local, expected] : parts) {
    const HitResult h = wm_.hitTest(f.left + (local.left + local.right) / 2, f.top + (local.top + local.bottom) / 2);
    EXPECT_EQ(h.window, d);
    EXPECT_EQ(h.part, expected);
  }
  HitResult h = wm_.hitTest(f.left + 1, f.top + 100);
  EXPECT_EQ(h.part, HitPart::Border);
  EXPECT_EQ(h.edges, kEdgeLeft);
  h = wm_.hitTest(f.right - 1, f.bottom - 1);
  EXPECT_EQ(h.edges, kEdgeRight | kEdgeBottom);
  // The main frame's menu strip and the desktop beyond the frame.
  const Rect mf = screenFrame(frame_);
  EXPECT_EQ(wm_.hitTest(mf.left + 300, mf.top + Metrics::kSizingBorder + Metrics::kCaptionHeight + 5).part,
            HitPart::MenuBar);
  EXPECT_EQ(wm_.hitTest(900, 700).part, HitPart::Nowhere);
}

TEST_F(Desk, MovingByTheCaptionCarriesThePixels) {
  const WindowId d = document({50, 50, 250, 200}, 0xABCDEF);
  run();
  const Rect before = screenClient(d);
  const Rect f = screenFrame(d);
  backend_.drag(f.left + 30, f.top + 10, f.left + 130, f.top + 70);
  const std::vector<Message> ms = run();
  const Rect after = screenClient(d);
  EXPECT_EQ(after.left - before.left, 100);
  EXPECT_EQ(after.top - before.top, 60);
  EXPECT_EQ(at(after.right - 1, after.bottom - 1), 0xABCDEFu);
  EXPECT_EQ(at(before.left + 1, before.top + 1), Palette::kWorkspace);  // uncovered: the frame's background
  EXPECT_GE(Count(ms, MessageType::Move, d), 1);
  EXPECT_EQ(Count(ms, MessageType::Size, d), 0);
  EXPECT_EQ(Count(ms, MessageType::MouseDown, d), 0);  // the caption is not the client
}

TEST_F(Desk, SizingByTheFrameStopsAtTheMinimumAndRepaints) {
  const WindowId d = document({50, 50, 250, 200}, 0x445566);
  run();
  const Rect f = screenFrame(d);
  backend_.drag(f.right - 1, f.bottom - 1, f.right + 99, f.bottom + 49);
  std::vector<Message> ms = run();
  EXPECT_EQ(screenFrame(d).width(), 300);
  EXPECT_EQ(screenFrame(d).height(), 200);
  EXPECT_GE(Count(ms, MessageType::Size, d), 1);
  const Rect c = screenClient(d);
  EXPECT_EQ(at(c.right - 1, c.bottom - 1), 0x445566u);  // the grown part was painted
  // Dragging the left edge far right leaves the minimum width.
  backend_.drag(f.left + 1, f.top + 80, f.left + 600, f.top + 80);
  run();
  EXPECT_EQ(screenFrame(d).width(), 40);
  EXPECT_EQ(screenFrame(d).right, f.right + 100);
}

TEST_F(Desk, CloseBoxPostsACloseOnlyWhenReleasedOverIt) {
  const WindowId d = document({50, 50, 250, 200}, 0x111111);
  run();
  const Rect f = screenFrame(d);
  const Rect box = wm_.window(d)->closeBoxRect().translated(f.left, f.top);
  backend_.drag(box.left + 5, box.top + 5, box.left - 40, box.top + 5);  // slid off: nothing
  EXPECT_EQ(Count(run(), MessageType::Close, d), 0);
  backend_.click(box.left + 5, box.top + 5);
  EXPECT_EQ(Count(run(), MessageType::Close, d), 1);
  EXPECT_NE(wm_.window(d), nullptr);  // closing is the program's decision
  wm_.destroyWindow(d);
  run();
  EXPECT_EQ(at(box.left + 5, box.top + 5), Palette::kWorkspace);
  EXPECT_EQ(wm_.activeWindow(), frame_);
}

TEST_F(Desk, FloatingWindowsStayAboveAndPopupsAboveTheFrame) {
  const WindowId fl = paintedWindow(WindowKind::Floating, TopStyle(true), {300, 300, 500, 450}, 0x00FFFF);
  paintedWindow(WindowKind::Dialog, TopStyle(false), {350, 350, 600, 500}, 0xFF00FF);
  const WindowId doc = document({300, 250, 600, 500}, 0x808000);
  run();
  // The dialog was activated last, yet the floating window is drawn over it.
  EXPECT_EQ(at(400, 400), 0x00FFFFu);
  EXPECT_EQ(at(560, 470), 0xFF00FFu);
  EXPECT_EQ(wm_.hitTest(400, 400).window, fl);
  // The document lives in the frame, under every top-level window.
  wm_.activate(doc);
  run();
  EXPECT_EQ(at(560, 470), 0xFF00FFu);
}

TEST_F(Desk, InvalidAreasMergeIntoOnePaintPerWindow) {
  const WindowId d = document({50, 50, 250, 200}, 0x222222);
  run();
  wm_.invalidate(d, {0, 0, 10, 10});
  wm_.invalidate(d, {10, 0, 20, 10});
  wm_.invalidate(d, {100, 100, 110, 110});
  wm_.invalidate(d, {5000, 5000, 5010, 5010});  // outside the client: dropped
  Message m;
  ASSERT_TRUE(wm_.nextMessage(&m, 0, true));
  EXPECT_EQ(m.type, MessageType::Paint);
  const DirtyRegion* region = wm_.paintRegion(d);
  ASSERT_NE(region, nullptr);
  EXPECT_EQ(region->rects().size(), 2u);
  EXPECT_TRUE(region->contains(19, 9));
  EXPECT_FALSE(region->contains(50, 50));
  EXPECT_FALSE(wm_.nextMessage(&m, 0, true));  // one paint delivered everything
  // What was not repainted stays on screen; the erased area shows the background.
  wm_.compose();
  const Rect c = screenClient(d);
  EXPECT_EQ(at(c.left + 15, c.top + 5), 0xFFFFFFu);
  EXPECT_EQ(at(c.left + 50, c.top + 50), 0x222222u);
  // A validated area is not painted again.
  wm_.invalidate(d, {0, 0, 30, 30});
  wm_.validate(d, {0, 0, 30, 30});
  EXPECT_FALSE(wm_.nextMessage(&m, 0, true));
}

TEST_F(Desk, KeysGoToTheActiveWindowAndCharactersFollowKeys) {
  const WindowId d = document({50, 50, 250, 200}, 0x333333);
  run();
  backend_.key('a', 'a', kCtrl);
  backend_.key(kKeyLeft);
  const std::vector<Message> ms = run();
  ASSERT_EQ(ms.size(), 5u);
  EXPECT_EQ(ms[0].type, MessageType::KeyDown);
  EXPECT_EQ(ms[1].type, MessageType::Char);
  EXPECT_EQ(ms[1].character, 'a');
  EXPECT_EQ(ms[1].modifiers, kCtrl);
  EXPECT_EQ(ms[2].type, MessageType::KeyUp);
  EXPECT_EQ(ms[3].key, kKeyLeft);
  for (const Message& m : ms) EXPECT_EQ(m.window, d);
}

TEST_F(Desk, MaximizeFillsTheDocumentAreaAndFollowsTheFrame) {
  const WindowId d = document({50, 50, 250, 200}, 0x654321);
  run();
  const Rect f = screenFrame(d);
  const Rect box = wm_.window(d)->maximizeBoxRect().translated(f.left, f.top);
  backend_.click(box.left + 3, box.top + 3);
  run();
  EXPECT_EQ(screenFrame(d), wm_.documentArea());
  wm_.setFrame(frame_, {0, 0, 700, 500});
  run();
  EXPECT_EQ(screenFrame(d), wm_.documentArea());
  wm_.restore(d);
  run();
  EXPECT_EQ(screenFrame(d).width(), 200);
}

TEST(ScreenSize, ParsesWidthByHeightWithinRange) {
  int w = 0, h = 0;
  for (const char* bad : {"640", "640x", "0x480", "99999x480", "640x480z"})
    EXPECT_FALSE(ParseScreenSize(bad, &w, &h)) << bad;
  EXPECT_TRUE(ParseScreenSize("640x480", &w, &h));
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(640, 480));
  EXPECT_EQ(Screen(10, 10).width(), Screen::kDefaultWidth);  // out of range: the default
}

TEST_F(Desk, KeysReadAfterAnotherWindowBecameActiveGoToIt) {
  const WindowId first = document({50, 50, 250, 200}, 0x333333);
  run();
  // Both keys are read off the input together; the first opens a dialog, say.
  backend_.key('x', 'x');
  backend_.key(kKeyReturn, '\r');
  wm_.pumpInput();
  Message m;
  ASSERT_TRUE(wm_.nextMessage(&m, 0, true));
  EXPECT_EQ(m.window, first);
  const WindowId dialog = paintedWindow(WindowKind::Dialog, TopStyle(false), {300, 300, 500, 400}, 0x444444);
  ASSERT_EQ(wm_.activeWindow(), dialog);
  // What is still queued belongs to the window that is active now, also through a filter.
  while (wm_.nextMessage(&m, first, true))
    EXPECT_TRUE(m.type != MessageType::KeyDown && m.type != MessageType::Char && m.type != MessageType::KeyUp);
  bool sawReturn = false;
  while (wm_.nextMessage(&m, dialog, true))
    if (m.type == MessageType::KeyDown && m.key == kKeyReturn) sawReturn = true;
  EXPECT_TRUE(sawReturn);
}

// A caption wider than its room keeps the longest start of whole characters that fits
// with "..." after it.
TEST(Caption, ATooLongTitleIsCutAtACharacterBehindDots) {
  const std::string title = "Ma\u00EFs \u00E9t\u00E9 (Quality vs Number of Colours)";
  EXPECT_EQ(FramePainter::FittedCaption(title, 1000), title);
  for (int room = 20; room < CaptionFont::Width(title); room += 7) {
    const std::string cut = FramePainter::FittedCaption(title, room);
    const size_t kept = cut.size() - 3;
    ASSERT_EQ(cut.substr(kept), "...") << room;
    EXPECT_EQ(cut.substr(0, kept), title.substr(0, kept));
    EXPECT_NE(static_cast<unsigned char>(title[kept]) & 0xC0, 0x80) << "cut inside a character at " << room;
    EXPECT_LE(CaptionFont::Width(cut), room);
    size_t more = kept + 1;
    while ((static_cast<unsigned char>(title[more]) & 0xC0) == 0x80) ++more;
    EXPECT_GT(CaptionFont::Width(title.substr(0, more) + "..."), room) << "one character more would fit";
  }
}
