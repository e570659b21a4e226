#include "jindep/box.h"

#include <gtest/gtest.h>

#include "jindep/Ji_tempm.h"
#include "jindep/Ji_tidge_std.h"

namespace {

// Windowless boxes and spacers: sizes and places only, nothing is drawn.
JWidget* Spacer(JWidget* box, int16_t w, int16_t h) {
  JWidget* s = JNewSpacer(nullptr, box, 0, 0, w, h);
  JSizeWidget(s, w, h);
  return s;
}

}  // namespace

TEST(Box, ChildrenAreLaidOutAsTheyComeAndGo) {
  JTempMark();
  JWidget* box = JNewBox(nullptr, nullptr, 10, 20);
  JBoxSetFramed(box, false);
  JBoxSetPacked(box, true);
  JWidget* a = Spacer(box, 20, 10);
  JWidget* b = Spacer(box, 30, 10);
  JWidget* c = Spacer(box, 40, 10);
  JSizeWidget(box, 0, 0);  // the natural size, children placed from the box's corner
  EXPECT_EQ(box->width, 94);
  EXPECT_EQ(c->x, 64);
  EXPECT_EQ(c->y, 20);
  EXPECT_EQ(JBoxChildAt(box, 3), nullptr);

  // In a visible box a hidden child is parked and the others close up.
  JShowWidget(box);
  JShowWidget(a);
  JShowWidget(c);
  JBoxLayoutAgain(box);
  EXPECT_EQ(b->x, kJBoxParked);
  EXPECT_EQ(c->x, 32);
  JShowWidget(b);
  JBoxLayoutAgain(box);
  EXPECT_EQ(b->x, 32);

  JDisposeWidget(b);
  EXPECT_EQ(JBoxChildCount(box), 2u);
  EXPECT_EQ(c->x, 32);
  JBoxSetOrientation(box, false, 1);
  JSizeWidget(box, 0, 0);
  EXPECT_EQ(box->width, 40);
  EXPECT_EQ(c->y, 32);
  JDisposeWidget(box);
  JTempRelease();
}
