#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"

namespace {

const char* const kAllTexts[] = {
#define JSTR(id, name, text) text,
#include "resources/strings.inc"
#undef JSTR
};
const uint16_t kAllIds[] = {
#define JSTR(id, name, text) id,
#include "resources/strings.inc"
#undef JSTR
};

}  // namespace

TEST(StringLists, KeysNameListAndItem) {
  EXPECT_STREQ(JGetAppString(99), JResourceString(1099));
  EXPECT_STREQ(JGetAppString(100), "Use global colour table");
  EXPECT_STREQ(JGetAlertString(3), JResourceString(2003));
  int16_t w = 0, h = 0;
  EXPECT_TRUE(JScan(JGetAlertString(5), "%ds% %ds%", &w, &h));
  EXPECT_EQ(w, 360);
  EXPECT_EQ(h, 120);
  // The same key answers the same string, owned by the list.
  EXPECT_EQ(JGetAppString(20), JGetAppString(20));
}

TEST(StringLists, MissingListsAndItemsGiveVisibleErrorTexts) {
  EXPECT_STREQ(JGetAppString(172), "IJString Error");  // beyond "1100 1171"
  EXPECT_STREQ(JGetAppString(250), "IJString Error");  // no range resource for list 2
  EXPECT_STREQ(JGetAppString(171), "");                // inside the range, no resource
  EXPECT_STREQ(JGetAlertString(6), "IJString Error");
  EXPECT_STREQ(JGetAppString(0), "FFile");             // earlier lists are still there
  IJStringSet empty = {300, 0, nullptr};
  EXPECT_STREQ(IJStringGet(&empty, 5, 300), "IJString Error");
  IJStringFreeSet(&empty);
}

TEST(StringResources, LoadingCopiesCutsOrFallsBack) {
  char buffer[256];
  EXPECT_STREQ(JLoadString(kStrMainTitle, buffer, sizeof buffer), "tintwell");
  EXPECT_STREQ(JLoadString(99, buffer, sizeof buffer), "");
  EXPECT_STREQ(JLoadStringDefault(99, buffer, sizeof buffer, "Test Application"), "Test Application");
  EXPECT_STREQ(JLoadStringDefault(kStrChildIconRange, buffer, sizeof buffer, "200 200"), "200 205");
  char small[5] = {1, 1, 1, 1, 1};
  EXPECT_STREQ(JLoadString(kStrFileTypeGif, small, sizeof small), "gif ");
  EXPECT_EQ(JResourceString(0), nullptr);
  EXPECT_EQ(JResourceString(65535), nullptr);
}

TEST(StringResources, EveryTextIsReachableWholeThroughItsId) {
  for (size_t i = 0; i < sizeof kAllIds / sizeof kAllIds[0]; ++i) {
    SCOPED_TRACE(kAllIds[i]);
    EXPECT_LE(strlen(kAllTexts[i]), kJStringMaxLength);
    EXPECT_STREQ(JStr(static_cast<JStringId>(kAllIds[i])), kAllTexts[i]);
  }
}

TEST(StringResources, ApplicationAndAlertIdsLieInsideTheirListRanges) {
  int32_t first = 0, last = 0;
  for (uint16_t id : kAllIds) {
    if (id >= 1000 && id < 1100) {
      ASSERT_TRUE(JScan(JResourceString(kStrAppList0Range), "%dl% %dl%", &first, &last));
    } else if (id >= 1100 && id < 1200) {
      ASSERT_TRUE(JScan(JResourceString(kStrAppList1Range), "%dl% %dl%", &first, &last));
    } else if (id >= 2000 && id < 2100) {
      ASSERT_TRUE(JScan(JResourceString(kStrAlertList0Range), "%dl% %dl%", &first, &last));
    } else {
      continue;
    }
    EXPECT_GE(id, first);
    EXPECT_LE(id, last);
  }
}

TEST(StringResources, FileTypeRowsKeepTheirColumns) {
  for (uint16_t id = 200; id <= 222; ++id) {
    const char* row = JResourceString(id);
    if (!row) continue;
    SCOPED_TRACE(row);
    ASSERT_GE(strlen(row), 9u);
    EXPECT_EQ(row[4], '.');
    EXPECT_EQ(row[8], ' ');
  }
}

