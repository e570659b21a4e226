#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>

#include "jindep/Ji_prinf.h"
#include "jindep/Ji_tempm.h"
#include "jindep/memory.h"

// A number that does not fit its variable is refused and nothing is stored: not in
// the variable, not in the bytes beside it.
TEST(Scan, NumbersOutsideTheirVariableAreRefusedAndNothingIsStored) {
  struct Case {
    const char* text;
    const char* format;
    size_t size;  // bytes of the variable
    bool ok;
    int64_t value;
  };
  const Case cases[] = {
      {"4294967296", "%d%", 4, false, 0},
      {"4294967296", "%u%", 4, false, 0},
      {"4294967295", "%u%", 4, true, 4294967295},
      {"2147483647", "%d%", 4, true, INT32_MAX},
      {"2147483648", "%d%", 4, false, 0},
      {"-2147483648", "%d%", 4, true, INT32_MIN},
      {"-2147483649", "%d%", 4, false, 0},
      {"+17", "%d%", 4, true, 17},
      {"99999999999999999999999999999", "%dl40%", 4, false, 0},
      {"FFFFFFFF", "%x%", 4, true, -1},
      {"100000000", "%x%", 4, false, 0},
      {"-1", "%x%", 4, true, -1},
      {"dEaD", "%x%", 4, true, 0xDEAD},
      {"-5", "%u%", 4, false, 0},
      {"", "%d%", 4, false, 0},
      {"-", "%d%", 4, false, 0},
      {"  42", "%d%", 4, true, 42},
      {"  42", "%dx%", 4, false, 0},
      {"xxx42", "%dlsx%", 4, true, 42},
      {"1234", "%dl2%", 4, true, 1234},  // l here is the size letter
      {"1234", "%dll2%", 4, true, 12},
      {"40000", "%ds%", 2, false, 0},
      {"-32768", "%ds%", 2, true, -32768},
      {"65535", "%us%", 2, true, 65535},
      {"200", "%db%", 1, false, 0},
      {"-128", "%db%", 1, true, -128},
      {"200", "%ub%", 1, true, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " " + c.format);
    uint8_t bytes[8], want[8];
    memset(bytes, 0xAA, sizeof bytes);
    memset(want, 0xAA, sizeof want);
    if (c.ok) memcpy(want, &c.value, c.size);  // little-endian: the low bytes
    EXPECT_EQ(JScan(c.text, c.format, bytes), c.ok);
    EXPECT_EQ(memcmp(bytes, want, sizeof bytes), 0);
  }
}

TEST(Scan, RandomIntegersRoundTripThroughTheFormatter) {
  std::mt19937 rng(8);
  for (int i = 0; i < 20000; ++i) {
    int32_t v = static_cast<int32_t>(rng()) >> (rng() % 32);
    char text[64];
    JFormatInto(text, "%d% %u% %x%", v, v, v);
    int32_t a = 0, c = 0;
    uint32_t b = 0;
    ASSERT_TRUE(JScan(text, "%d% %u% %x%", &a, &b, &c)) << text;
    ASSERT_EQ(a, v);
    ASSERT_EQ(b, static_cast<uint32_t>(v));
    ASSERT_EQ(c, v);
  }
}

TEST(Scan, RealsCharactersAndSkippedFields) {
  const std::string tooBig = "1" + std::string(400, '0');
  const std::pair<const char*, double> reals[] = {{"-12.5", -12.5}, {"3.", 3.0}, {".25", 0.25},
                                                  {".", -1}, {"-", -1}, {tooBig.c_str(), -1}};
  for (auto [text, want] : reals) {
    double d = -1;
    EXPECT_EQ(JScan(text, "%f%", &d), want != -1) << text;
    EXPECT_EQ(d, want) << text;
  }
  char c = 0;
  EXPECT_TRUE(JScan("x", "%c%", &c));
  EXPECT_EQ(c, 'x');
  EXPECT_FALSE(JScan("", "%c%", &c));
  int32_t kept = 0;
  EXPECT_TRUE(JScan("5 6", "%dw% %d%", &kept));
  EXPECT_EQ(kept, 6);
}

TEST(Scan, StringsIntoBuffersHeapAndTemporaryMemory) {
  char buffer[16];
  EXPECT_TRUE(JScan("key value", "%s% %s%", buffer, buffer + 8));
  EXPECT_STREQ(buffer, "key");
  EXPECT_STREQ(buffer + 8, "value");
  EXPECT_TRUE(JScan("a,b", "%sd,%,%s%", buffer, buffer + 8));
  EXPECT_STREQ(buffer, "a");
  EXPECT_STREQ(buffer + 8, "b");
  // The buffer size is respected: the field is consumed whole but cut to fit.
  char small[4] = {'x', 'x', 'x', 'x'};
  const char* text = "abcdefgh;";
  EXPECT_TRUE(JScanAdvance(&text, "%sll4d;%", small));
  EXPECT_STREQ(small, "abc");
  EXPECT_STREQ(text, ";");
  char* heap = nullptr;
  EXPECT_TRUE(JScan("heap words", "%sad;%", &heap));
  EXPECT_STREQ(heap, "heap words");
  JFree(heap);
  JTempMark();
  char* temp = nullptr;
  EXPECT_TRUE(JScan("temporary", "%st%", &temp));
  EXPECT_STREQ(temp, "temporary");
  JTempRelease();
  EXPECT_FALSE(JScan("", "%s%", buffer));
}

// A failed scan moves the text on not at all; letters without a scanner, a literal
// mismatch and the literal percent all fail.
TEST(Scan, FailuresAndHowFarTheTextMoves) {
  int32_t a = 0;
  EXPECT_FALSE(JScan("5", "%q%", &a));
  EXPECT_FALSE(JScan("%", "%%%"));
  EXPECT_FALSE(JScan("b5", "a%d%", &a));
  const char* text = "10,20";
  EXPECT_TRUE(JScanAdvance(&text, "%d%,", &a));
  EXPECT_STREQ(text, "20");
  EXPECT_FALSE(JScanAdvance(&text, "%d%,", &a));
  EXPECT_STREQ(text, "20");
}
