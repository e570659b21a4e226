#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <random>
#include <set>
#include <vector>

#include "debug_log.h"
#include "jindep/Ji_at_ar.h"
#include "jindep/Ji_at_ta.h"
#include "jindep/debug.h"
#include "jindep/list.h"
#include "jindep/memory.h"

namespace {

struct Item {
  uint32_t key;
  uint16_t order;
  uint8_t tag;
  bool operator==(const Item& o) const { return key == o.key && order == o.order && tag == o.tag; }
};

std::vector<Item> Contents(const void* block, uint32_t count) {
  const Item* p = static_cast<const Item*>(block);
  return count ? std::vector<Item>(p, p + count) : std::vector<Item>();
}

}  // namespace

// Counts and indices are 32-bit: nothing wraps at 65536.
TEST(Containers, HoldMoreThan65535Elements) {
  JArray a = {};
  uint32_t v = 9;
  JArrayAppend(&a, sizeof v, &v);
  JArrayEnsureCount(&a, sizeof v, 70000);
  ASSERT_EQ(a.count, 70000u);
  EXPECT_EQ(*static_cast<uint32_t*>(JArrayAt(&a, sizeof v, 0)), 9u);
  EXPECT_EQ(*static_cast<uint32_t*>(JArrayAt(&a, sizeof v, 69999)), 0u);  // new elements are zeroed
  JArrayEnsureCount(&a, sizeof v, 10);
  EXPECT_EQ(a.count, 70000u);
  v = 70000;
  JArrayInsert(&a, sizeof v, 65536, &v);
  EXPECT_EQ(*static_cast<uint32_t*>(JArrayAt(&a, sizeof v, 65536)), 70000u);
  JArrayFree(&a);
}

using ContainerReports = DebugLogTest;

TEST_F(ContainerReports, IndicesPastTheEndAreReportedAndTouchNothing) {
  JArray a = {};
  uint16_t v = 1;
  JArrayAppend(&a, sizeof v, &v);
  JArrayRemove(&a, sizeof v, 1);
  EXPECT_EQ(JArrayAt(&a, sizeof v, 1), nullptr);
  EXPECT_EQ(a.count, 1u);
  JArrayFree(&a);

  JVector vec;
  JVectorInit(&vec, sizeof v, 4);
  JVectorRemove(&vec, 0);
  EXPECT_EQ(JVectorAt(&vec, 0), nullptr);
  EXPECT_EQ(vec.count, 0u);
  JVectorFree(&vec);

  const std::string log = LogText();
  for (const char* message : {"'Removing past end of array'", "'Indexing past end of array'",
                              "'Removing past end of vector'"})
    EXPECT_NE(log.find(message), std::string::npos) << message;
  EXPECT_NE(log.find("\"jindep/Ji_at_ar\""), std::string::npos);
}

// One random series of edits drives an array and a vector side by side, each through
// its own calls; a std::vector is the oracle for both and for the vector's searches.
TEST(Containers, RandomEditsAndSearchesMatchAStdVector) {
  std::mt19937 rng(11);
  JArray a = {};
  JVector v;
  JVectorInit(&v, sizeof(Item), 3);
  std::vector<Item> oracle;
  auto match = [](const void* e, void* data) { return static_cast<const Item*>(e)->key == *static_cast<uint32_t*>(data); };
  auto lastWhere = [&](auto same) {
    for (size_t i = oracle.size(); i-- > 0;)
      if (same(oracle[i])) return static_cast<int64_t>(i);
    return int64_t{-1};
  };
  for (int step = 0; step < 5000; ++step) {
    Item it = {static_cast<uint32_t>(rng() % 20), static_cast<uint16_t>(step), static_cast<uint8_t>(rng() % 3)};
    const uint32_t at = rng() % (oracle.size() + 2);
    const int64_t found = lastWhere([&](const Item& e) { return e.key == it.key; });
    switch (rng() % 5) {
      case 0:
        JArrayAppend(&a, sizeof it, &it);
        JVectorAppend(&v, &it);
        oracle.push_back(it);
        break;
      case 1:
        JArrayInsert(&a, sizeof it, at, &it);
        JVectorInsert(&v, at, &it);
        oracle.insert(oracle.begin() + std::min<size_t>(at, oracle.size()), it);
        break;
      case 2:
        if (at >= oracle.size()) break;
        JArrayRemove(&a, sizeof it, at);
        JVectorRemove(&v, at);
        oracle.erase(oracle.begin() + at);
        break;
      case 3:
        ASSERT_EQ(JVectorFind(&v, match, &it.key), found);
        ASSERT_EQ(JVectorRemoveMatch(&v, match, &it.key), found >= 0);
        if (found < 0) break;
        JArrayRemove(&a, sizeof it, static_cast<uint32_t>(found));
        oracle.erase(oracle.begin() + found);
        break;
      default:
        if (oracle.empty()) break;
        const Item probe = oracle[rng() % oracle.size()];
        ASSERT_EQ(JVectorFindEqual(&v, &probe), lastWhere([&](const Item& e) { return e == probe; }));
    }
    ASSERT_EQ(Contents(a.block, a.count), oracle) << "step " << step;
    ASSERT_EQ(a.block == nullptr, oracle.empty());
    ASSERT_EQ(Contents(v.block, v.count), oracle) << "step " << step;
    ASSERT_LT(v.count, v.capacity);
  }
  JArrayFree(&a);
  JVectorFree(&v);
}

TEST(JListTest, RandomCursorEditsMatchAStdList) {
  std::mt19937 rng(5);
  JList l = {};
  std::list<uintptr_t> oracle;
  auto cursor = oracle.end();  // end() stands for "no cursor"
  auto at = [&]() { return cursor == oracle.end() ? uintptr_t{0} : *cursor; };
  for (int step = 0; step < 6000; ++step) {
    uintptr_t value = (static_cast<uintptr_t>(rng()) << 32) | rng();
    switch (rng() % 9) {
      case 0:
        JListPushEnd(&l, value);
        cursor = oracle.insert(oracle.end(), value);
        break;
      case 1:
        JListInsertAfter(&l, value);
        cursor = oracle.insert(cursor == oracle.end() ? oracle.end() : std::next(cursor), value);
        break;
      case 2:
        JListInsertBefore(&l, value);
        cursor = oracle.insert(cursor == oracle.end() ? oracle.begin() : cursor, value);
        break;
      case 3:
        cursor = cursor == oracle.end() ? oracle.begin() : std::next(cursor);
        ASSERT_EQ(JListNext(&l), at());
        break;
      case 4:
        if (cursor == oracle.end())
          cursor = oracle.empty() ? oracle.end() : std::prev(oracle.end());
        else
          cursor = cursor == oracle.begin() ? oracle.end() : std::prev(cursor);
        ASSERT_EQ(JListPrevious(&l), at());
        break;
      case 5:
        cursor = oracle.begin();
        ASSERT_EQ(JListFirst(&l), at());
        break;
      case 6: {
        uintptr_t old = at();
        ASSERT_EQ(JListReplace(&l, value), old);
        if (cursor != oracle.end()) *cursor = value;
        break;
      }
      default: {
        uintptr_t old = at();
        ASSERT_EQ(JListRemove(&l), old);
        if (cursor != oracle.end()) cursor = oracle.erase(cursor);
      }
    }
    ASSERT_EQ(l.count, oracle.size());
    ASSERT_EQ(JListCurrent(&l), at());
  }
  std::vector<uintptr_t> walked;
  for (uintptr_t v = JListFirst(&l); l.cursor; v = JListNext(&l)) walked.push_back(v);
  EXPECT_EQ(walked, std::vector<uintptr_t>(oracle.begin(), oracle.end()));
  JListClear(&l);
  EXPECT_EQ(l.count, 0u);
  EXPECT_EQ(JListLast(&l), 0u);
}

TEST(JIdPoolTest, RandomTakesAndReleasesNeverDuplicateAnIdentifier) {
  std::mt19937 rng(13);
  JIdPool p;
  JIdPoolInit(&p);
  std::set<uint32_t> inUse;
  JDebugSetEnabled(false);
  for (int step = 0; step < 20000; ++step) {
    if (inUse.empty() || rng() % 2) {
      uint32_t id = JIdPoolTake(&p);
      ASSERT_NE(id, 0u);
      ASSERT_TRUE(inUse.insert(id).second) << id;
    } else {
      auto it = std::next(inUse.begin(), rng() % inUse.size());
      JIdPoolRelease(&p, *it);
      if (rng() % 8 == 0) JIdPoolRelease(&p, *it);  // a second release is refused
      inUse.erase(it);
    }
  }
  JDebugSetEnabled(true);
  JIdPoolFree(&p);
  // Past its limit the pool answers 0, never an identifier beyond it.
  JIdPoolInit(&p);
  p.limit = 2;
  EXPECT_EQ(JIdPoolTake(&p), 1u);
  EXPECT_EQ(JIdPoolTake(&p), 2u);
  EXPECT_EQ(JIdPoolTake(&p), 0u);
  JIdPoolFree(&p);
}

