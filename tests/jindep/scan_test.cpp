#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>

#include "jindep/Ji_prinf.h"
#include "jindep/Ji_tempm.h"
#include "jindep/memory.h"

TEST(Scan, NumbersOutsideTheirVariableAreRefusedAndNothingIsStored) {
  struct Case {
    const char* text;
    const char* format;
    bool ok;
    int64_t value;
  };
  const Case cases[] = {
      {"4294967296", "%d%", false, 0},
      {"4294967296", "%u%", false, 0},
      {"4294967295", "%u%", true, 4294967295},
      {"2147483647", "%d%", true, INT32_MAX},
      {"2147483648", "%d%", false, 0},
      {"-2147483648", "%d%", true, INT32_MIN},
      {"-2147483649", "%d%", false, 0},
      {"+17", "%d%", true, 17},
      {"99999999999999999999999999999", "%dl40%", false, 0},
      {"FFFFFFFF", "%x%", true, -1},
      {"100000000", "%x%", false, 0},
      {"-1", "%x%", true, -1},
      {"dEaD", "%x%", true, 0xDEAD},
      {"-5", "%u%", false, 0},
      {"", "%d%", false, 0},
      {"-", "%d%", false, 0},
      {"  42", "%d%", true, 42},
      {"  42", "%dx%", false, 0},
      {"xxx42", "%dlsx%", true, 42},
      {"1234", "%dl2%", true, 1234},  // l here is the size letter
      {"1234", "%dll2%", true, 12},
  };
  for (const Case& c : cases) {
    int32_t v = 12345;
    EXPECT_EQ(JScan(c.text, c.format, &v), c.ok) << c.text << " " << c.format;
    EXPECT_EQ(v, c.ok ? static_cast<int32_t>(c.value) : 12345) << c.text << " " << c.format;
  }
}

TEST(Scan, SmallVariablesTakeOnlyWhatFits) {
  int16_t s = 1;
  EXPECT_FALSE(JScan("40000", "%ds%", &s));
  EXPECT_TRUE(JScan("-32768", "%ds%", &s));
  EXPECT_EQ(s, -32768);
  uint16_t us = 0;
  EXPECT_TRUE(JScan("65535", "%us%", &us));
  EXPECT_EQ(us, 65535);
  int8_t b = 0;
  EXPECT_FALSE(JScan("200", "%db%", &b));
  EXPECT_TRUE(JScan("-128", "%db%", &b));
  EXPECT_EQ(b, -128);
  uint8_t ub = 0;
  EXPECT_TRUE(JScan("200", "%ub%", &ub));
  EXPECT_EQ(ub, 200);
  // Neighbouring bytes are left alone.
  struct {
    uint8_t value;
    uint8_t guard[3];
  } packed = {0, {0xAA, 0xAA, 0xAA}};
  EXPECT_TRUE(JScan("7", "%ub%", &packed.value));
  EXPECT_EQ(packed.value, 7);
  EXPECT_EQ(packed.guard[0], 0xAA);
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
  double d = 0;
  EXPECT_TRUE(JScan("-12.5", "%f%", &d));
  EXPECT_EQ(d, -12.5);
  EXPECT_TRUE(JScan("3.", "%f%", &d));
  EXPECT_EQ(d, 3.0);
  EXPECT_TRUE(JScan(".25", "%f%", &d));
  EXPECT_EQ(d, 0.25);
  EXPECT_FALSE(JScan(".", "%f%", &d));
  EXPECT_FALSE(JScan("-", "%f%", &d));
  EXPECT_FALSE(JScan(("1" + std::string(400, '0')).c_str(), "%f%", &d));  // out of range
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

TEST(Scan, ResultRecordsHowFarTextAndFormatGot) {
  int32_t a = 0, b = 0;
  JScanResult r;
  auto scan = [&](const char* text, const char* format, ...) {
    va_list args;
    va_start(args, format);
    bool ok = JScanV(text, format, &r, args);
    va_end(args);
    return ok;
  };
  EXPECT_FALSE(scan("12:x", "%d%:%d%", &a, &b));
  EXPECT_EQ(r.consumed, 3u);
  EXPECT_EQ(r.textLength, 4u);
  EXPECT_EQ(r.matched, 1u);
  EXPECT_EQ(r.formatPos, 4u);
  EXPECT_EQ(r.formatLength, 7u);
  EXPECT_FALSE(r.success);
  EXPECT_TRUE(scan("12:34 rest", "%d%:%d%", &a, &b));
  EXPECT_EQ(r.consumed, 5u);
  EXPECT_EQ(r.matched, 2u);
  EXPECT_TRUE(r.success);
  // Letters without a scanner, a literal mismatch, and the literal percent all fail.
  EXPECT_FALSE(scan("5", "%q%", &a));
  EXPECT_FALSE(scan("%", "%%%"));
  EXPECT_FALSE(scan("b5", "a%d%", &a));
  const char* text = "10,20";
  EXPECT_TRUE(JScanAdvance(&text, "%d%,", &a));
  EXPECT_STREQ(text, "20");
  EXPECT_FALSE(JScanAdvance(&text, "%d%,", &a));
  EXPECT_STREQ(text, "20");
}
