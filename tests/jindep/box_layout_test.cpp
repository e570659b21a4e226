#include "jindep/box_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
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

// Where the children of a box land. Each case starts from the plain settings
// (framed off) and changes what it names.
TEST(BoxLayout, PlacesChildrenByGapsAlignmentAndPacking) {
  struct Case {
    const char* what;
    void (*tweak)(JBoxSettings&);
    std::initializer_list<std::pair<int16_t, int16_t>> sizes;
    int16_t x, y, w, h;
    std::vector<std::pair<int16_t, int16_t>> want;  // (x, y) per child; kJBoxParked for hidden ones
    int hidden = -1;
  };
  const Case cases[] = {
      {"one child with outer gaps is centred", [](JBoxSettings&) {}, {{20, 10}}, 100, 50, 80, 30, {{130, 60}}},
      {"spare room shared by the gaps, centred across", [](JBoxSettings&) {}, {{20, 10}, {20, 30}, {20, 4}},
       0, 0, 104, 40, {{10, 15}, {42, 5}, {74, 18}}},
      {"without outer gaps the last child meets the far edge", [](JBoxSettings& s) { s.outerGaps = 0; },
       {{20, 10}, {20, 10}, {20, 10}}, 0, 0, 100, 10, {{0, 0}, {40, 0}, {80, 0}}},
      {"framed, without outer gaps", [](JBoxSettings& s) { s.outerGaps = 0, s.framed = 1; },
       {{20, 10}, {30, 10}}, 10, 0, 200, 14, {{12, 2}, {178, 2}}},
      {"aligned to the top", [](JBoxSettings& s) { s.alignment = 1, s.framed = 1; }, {{20, 10}, {20, 30}, {20, 4}},
       0, 0, 108, 40, {{12, 2}, {44, 2}, {76, 2}}},
      {"aligned to the bottom", [](JBoxSettings& s) { s.alignment = 3, s.framed = 1; }, {{20, 10}, {20, 30}, {20, 4}},
       0, 0, 108, 40, {{12, 28}, {44, 8}, {76, 34}}},
      {"packed from the start", [](JBoxSettings& s) { s.packed = 1, s.framed = 1, s.alignment = 1; },
       {{20, 10}, {20, 30}, {20, 4}}, 0, 0, 300, 40, {{2, 2}, {24, 2}, {46, 2}}},
      {"a hidden child is parked and the others close up", [](JBoxSettings& s) { s.packed = 1; },
       {{20, 10}, {30, 10}, {40, 10}}, 0, 0, 62, 10, {{0, 0}, {kJBoxParked, kJBoxParked}, {22, 0}}, 1},
      {"a column shares spare rows in three gaps", [](JBoxSettings& s) {
         s.horizontal = 0, s.alignment = 1;
         s.marginLeft = s.marginTop = s.marginRight = s.marginBottom = 15;
       }, {{100, 20}, {50, 20}}, 0, 0, 130, 92, {{15, 21}, {15, 49}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    JBoxSettings s = Plain();
    c.tweak(s);
    auto children = Children(c.sizes);
    if (c.hidden >= 0) children[c.hidden].counted = false;
    Lay(s, children, c.x, c.y, c.w, c.h);
    for (size_t i = 0; i < children.size(); ++i) {
      EXPECT_EQ(children[i].x, c.want[i].first) << i;
      EXPECT_EQ(children[i].y, c.want[i].second) << i;
    }
  }
}

// In any box at least its natural size the children stay inside the margins and frame,
// in order; at exactly the natural size they fill that inside to the pixel, hidden ones
// taking no room.
TEST(BoxLayout, ChildrenStayInsideAnyBoxAtLeastNaturalSizeAndFillItExactly) {
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
      c.push_back({0, 0, static_cast<int16_t>(1 + rng() % 60), static_cast<int16_t>(1 + rng() % 60), j == 0 || rng() % 5 != 0});
    int16_t nw, nh;
    JBoxNaturalSize(&s, c.data(), static_cast<uint32_t>(n), &nw, &nh);
    const bool natural = rng() % 3 == 0;
    int16_t w = static_cast<int16_t>(nw + (natural ? 0 : rng() % 100));
    int16_t h = static_cast<int16_t>(nh + (natural ? 0 : rng() % 100));
    int16_t x = static_cast<int16_t>(rng() % 500), y = static_cast<int16_t>(rng() % 500);
    JBoxLayout(&s, nw, nh, x, y, w, h, c.data(), static_cast<uint32_t>(n));
    const int f = s.framed ? 2 : 0;
    const int left = x + s.marginLeft + f, top = y + s.marginTop + f;
    const int right = x + w - s.marginRight - f, bottom = y + h - s.marginBottom - f;
    int previousEnd = INT32_MIN, minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
    for (const JBoxChild& ch : c) {
      if (!ch.counted) {
        ASSERT_EQ(ch.x, kJBoxParked);
        continue;
      }
      minX = std::min<int>(minX, ch.x), minY = std::min<int>(minY, ch.y);
      maxX = std::max(maxX, ch.x + ch.width), maxY = std::max(maxY, ch.y + ch.height);
      int start = s.horizontal ? ch.x : ch.y;
      ASSERT_GE(start, previousEnd + s.spacing);  // in order, never overlapping
      previousEnd = start + (s.horizontal ? ch.width : ch.height);
    }
    ASSERT_GE(minX, left);
    ASSERT_GE(minY, top);
    ASSERT_LE(maxX, right);
    ASSERT_LE(maxY, bottom);
    if (natural) {
      ASSERT_EQ(minX, left);
      ASSERT_EQ(minY, top);
      ASSERT_EQ(maxX, right);
      ASSERT_EQ(maxY, bottom);
    }
  }
}
