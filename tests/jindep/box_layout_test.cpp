#include "jindep/box_layout.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<JBoxChild> Children(std::initializer_list<std::pair<int16_t, int16_t>> sizes) {
  std::vector<JBoxChild> v;
  for (auto [w, h] : sizes) v.push_back({0, 0, w, h, true});
  return v;
}

JBoxSettings Plain() {
  JBoxSettings s = JBoxDefaultSettings();
  s.framed = 0;
  return s;
}

// Lays the children out in a box of the given size at (x, y).
void Lay(const JBoxSettings& s, std::vector<JBoxChild>& c, int16_t x, int16_t y, int16_t w, int16_t h) {
  int16_t nw, nh;
  JBoxNaturalSize(&s, c.data(), static_cast<uint32_t>(c.size()), &nw, &nh);
  JBoxLayout(&s, nw, nh, x, y, w, h, c.data(), static_cast<uint32_t>(c.size()));
}

}  // namespace

TEST(BoxLayout, NaturalSizes) {
  JBoxSettings s = Plain();
  int16_t w, h;
  JBoxNaturalSize(&s, nullptr, 0, &w, &h);
  EXPECT_EQ(w, 16);
  EXPECT_EQ(h, 16);
  auto three = Children({{20, 10}, {20, 30}, {20, 5}});
  JBoxNaturalSize(&s, three.data(), 3, &w, &h);
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 30);
  s.framed = 1;
  s.marginLeft = 3;
  s.marginRight = 4;
  s.marginTop = 5;
  s.marginBottom = 6;
  JBoxNaturalSize(&s, three.data(), 3, &w, &h);
  EXPECT_EQ(w, 3 + 4 + 64 + 4);
  EXPECT_EQ(h, 5 + 6 + 30 + 4);
  s.horizontal = 0;
  JBoxNaturalSize(&s, three.data(), 3, &w, &h);
  EXPECT_EQ(w, 3 + 4 + 20 + 4);
  EXPECT_EQ(h, 5 + 6 + 45 + 2 * 2 + 4);
  // Hidden children in a visible box take no room.
  three[1].counted = false;
  JBoxNaturalSize(&s, three.data(), 3, &w, &h);
  EXPECT_EQ(h, 5 + 6 + 15 + 2 + 4);
}

TEST(BoxLayout, OneChildWithOuterGapsIsCentredAlongTheLine) {
  JBoxSettings s = Plain();
  auto c = Children({{20, 10}});
  Lay(s, c, 100, 50, 80, 30);
  EXPECT_EQ(c[0].x, 100 + 30);  // spare 60 split before and after
  EXPECT_EQ(c[0].y, 50 + 10);   // centred across
}

TEST(BoxLayout, RowWithoutOuterGapsPutsItsLastChildAgainstTheFarEdge) {
  JBoxSettings s = Plain();
  s.outerGaps = 0;
  for (int16_t width : {64, 100, 300}) {
    auto c = Children({{20, 10}, {20, 10}, {20, 10}});
    Lay(s, c, 0, 0, width, 10);
    int16_t spare = static_cast<int16_t>((width - 64) / 2);
    EXPECT_EQ(c[0].x, 0);
    EXPECT_EQ(c[1].x, 22 + spare);
    EXPECT_EQ(c[2].x, width - 20);
  }
  s.framed = 1;
  auto c = Children({{20, 10}, {30, 10}});
  Lay(s, c, 10, 0, 200, 14);
  EXPECT_EQ(c[0].x, 12);
  EXPECT_EQ(c[1].x, 10 + 200 - 30 - 2);
}

TEST(BoxLayout, RowSpareRoomAndAlignments) {
  JBoxSettings s = Plain();
  auto c = Children({{20, 10}, {20, 30}, {20, 4}});
  Lay(s, c, 0, 0, 104, 40);  // natural 64: 40 spare, 10 a gap with outer gaps
  EXPECT_EQ(c[0].x, 10);
  EXPECT_EQ(c[1].x, 10 + 20 + 2 + 10);
  EXPECT_EQ(c[2].x, 42 + 20 + 2 + 10);
  EXPECT_EQ(c[0].y, 15);
  EXPECT_EQ(c[1].y, 5);
  EXPECT_EQ(c[2].y, 18);
  s.alignment = 1;
  s.framed = 1;
  Lay(s, c, 0, 0, 108, 40);
  EXPECT_EQ(c[0].y, 2);
  EXPECT_EQ(c[1].y, 2);
  s.alignment = 3;
  Lay(s, c, 0, 0, 108, 40);
  EXPECT_EQ(c[0].y, 40 - 10 - 2);
  EXPECT_EQ(c[2].y, 40 - 4 - 2);
  s.packed = 1;
  Lay(s, c, 0, 0, 300, 40);
  EXPECT_EQ(c[0].x, 2);
  EXPECT_EQ(c[1].x, 24);
  EXPECT_EQ(c[2].x, 46);
}

TEST(BoxLayout, HiddenChildrenAreParkedAndTheOthersCloseUp) {
  JBoxSettings s = Plain();
  s.packed = 1;
  auto c = Children({{20, 10}, {30, 10}, {40, 10}});
  c[1].counted = false;
  Lay(s, c, 0, 0, 62, 10);
  EXPECT_EQ(c[1].x, kJBoxParked);
  EXPECT_EQ(c[1].y, kJBoxParked);
  EXPECT_EQ(c[0].x, 0);
  EXPECT_EQ(c[2].x, 22);
  c[1].counted = true;
  Lay(s, c, 0, 0, 94, 10);
  EXPECT_EQ(c[1].x, 22);
  EXPECT_EQ(c[2].x, 54);
}

TEST(BoxLayout, ColumnsExchangeTheAxes) {
  JBoxSettings s = Plain();
  s.horizontal = 0;
  s.alignment = 1;
  s.marginLeft = s.marginTop = s.marginRight = s.marginBottom = 15;
  auto c = Children({{100, 20}, {50, 20}});
  int16_t nw, nh;
  JBoxNaturalSize(&s, c.data(), 2, &nw, &nh);
  EXPECT_EQ(nw, 130);
  EXPECT_EQ(nh, 72);
  JBoxLayout(&s, nw, nh, 0, 0, nw, nh, c.data(), 2);
  EXPECT_EQ(c[0].x, 15);
  EXPECT_EQ(c[0].y, 15);
  EXPECT_EQ(c[1].x, 15);
  EXPECT_EQ(c[1].y, 15 + 20 + 2);
  // Twenty rows of spare room are shared in three gaps of six.
  JBoxLayout(&s, nw, nh, 0, 0, nw, static_cast<int16_t>(nh + 20), c.data(), 2);
  EXPECT_EQ(c[0].y, 15 + 6);
  EXPECT_EQ(c[1].y, 15 + 6 + 20 + 2 + 6);
}

TEST(BoxLayout, ChildrenStayInsideTheMarginsOfAnyBoxAtLeastNaturalSize) {
  std::mt19937 rng(31);
  for (int i = 0; i < 5000; ++i) {
    JBoxSettings s = JBoxDefaultSettings();
    s.horizontal = rng() & 1;
    s.packed = rng() % 3 == 0;
    s.outerGaps = 1;
    s.framed = rng() & 1;
    s.alignment = static_cast<uint16_t>(1 + rng() % 3);
    s.spacing = static_cast<int16_t>(rng() % 6);
    s.marginTop = static_cast<int16_t>(rng() % 20);
    s.marginLeft = static_cast<int16_t>(rng() % 20);
    s.marginBottom = static_cast<int16_t>(rng() % 20);
    s.marginRight = static_cast<int16_t>(rng() % 20);
    std::vector<JBoxChild> c;
    int n = 1 + static_cast<int>(rng() % 6);
    for (int j = 0; j < n; ++j)
      c.push_back({0, 0, static_cast<int16_t>(1 + rng() % 60), static_cast<int16_t>(1 + rng() % 60), true});
    int16_t nw, nh;
    JBoxNaturalSize(&s, c.data(), static_cast<uint32_t>(n), &nw, &nh);
    int16_t w = static_cast<int16_t>(nw + rng() % 100), h = static_cast<int16_t>(nh + rng() % 100);
    int16_t x = static_cast<int16_t>(rng() % 500), y = static_cast<int16_t>(rng() % 500);
    JBoxLayout(&s, nw, nh, x, y, w, h, c.data(), static_cast<uint32_t>(n));
    int f = s.framed ? 2 : 0;
    int previousEnd = INT32_MIN;
    for (const JBoxChild& ch : c) {
      ASSERT_GE(ch.x, x + s.marginLeft + f);
      ASSERT_GE(ch.y, y + s.marginTop + f);
      ASSERT_LE(ch.x + ch.width, x + w - s.marginRight - f);
      ASSERT_LE(ch.y + ch.height, y + h - s.marginBottom - f);
      int start = s.horizontal ? ch.x : ch.y;
      ASSERT_GE(start, previousEnd + s.spacing);  // in order, never overlapping
      previousEnd = start + (s.horizontal ? ch.width : ch.height);
    }
  }
}
