#include <gtest/gtest.h>

#include <string>

#include "jindep/memory.h"
#include "jindep/string_lists.h"

// A key names a list (hundreds) and an item; a missing list or item answers a visible error text.
TEST(StringLists, KeysReachTheirItemOrAVisibleError) {
  const std::pair<const char*, const char*> cases[] = {
      {JGetAppString(99), JResourceString(1099)},
      {JGetAppString(100), JResourceString(1100)},  // the second list
      {JGetAlertString(3), JResourceString(2003)},
      {JGetAppString(172), "IJString Error"},  // beyond the second list's range
      {JGetAppString(250), "IJString Error"},  // no range resource for list 2
      {JGetAppString(171), ""},                // inside the range, no resource
      {JGetAlertString(6), "IJString Error"},
      {JGetAppString(0), JResourceString(1000)},  // earlier lists are still there
  };
  for (auto [got, want] : cases) EXPECT_STREQ(got, want);
  EXPECT_EQ(JGetAppString(20), JGetAppString(20));  // the same key answers the string the list owns
  IJStringSet empty = {300, 0, nullptr};
  EXPECT_STREQ(IJStringGet(&empty, 5, 300), "IJString Error");
  IJStringFreeSet(&empty);
}

TEST(StringResources, LoadingCopiesCutsOrFallsBack) {
  char buffer[256];
  EXPECT_STREQ(JLoadString(99, buffer, sizeof buffer), "");
  EXPECT_STREQ(JLoadStringDefault(99, buffer, sizeof buffer, "Test Application"), "Test Application");
  EXPECT_STREQ(JLoadStringDefault(kStrChildIconRange, buffer, sizeof buffer, "200 200"), "200 205");
  char small[5] = {1, 1, 1, 1, 1};
  EXPECT_STREQ(JLoadString(kStrFileTypeGif, small, sizeof small), "gif ");
  EXPECT_EQ(JResourceString(0), nullptr);
  EXPECT_EQ(JResourceString(65535), nullptr);
}
