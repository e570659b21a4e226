#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "jindep/Ji_prinf.h"
#include "jindep/Ji_tempm.h"
#include "jindep/memory.h"

namespace {

// Formats the same arguments every way the engine offers and checks that they all
// agree with each other and with the expected text; a sized write into an exact
// heap block must neither overrun it (ASan watches) nor differ from the rest.
#define EXPECT_FORMAT(expected, ...)                                              \
  do {                                                                            \
    const std::string want = (expected);                                          \
    char* heap = JFormatNew(__VA_ARGS__);                                         \
    EXPECT_EQ(std::string(heap), want);                                           \
    JFree(heap);                                                                  \
    JTempMark();                                                                  \
    EXPECT_EQ(std::string(JFormatTemp(__VA_ARGS__)), want);                       \
    JTempRelease();                                                               \
    char into[2048];                                                              \
    EXPECT_EQ(std::string(JFormatInto(into, __VA_ARGS__)), want);                 \
    EXPECT_EQ(JFormatLength(__VA_ARGS__), want.size());                           \
    size_t cut = want.size() / 2 + 1;                                             \
    char* exact = static_cast<char*>(JAlloc(cut));                                \
    EXPECT_EQ(JFormatIntoSized(exact, cut, __VA_ARGS__), want.size());            \
    EXPECT_EQ(std::string(exact), want.substr(0, cut - 1));                       \
    JFree(exact);                                                                 \
  } while (0)

}  // namespace

// Plain decimal, hex and fixed-point figures are checked against the standard
// conversion below; these cases are the engine's own rules: fills, limits,
// arguments for widths, unknown letters, texts, and reals without a fixed fraction.
TEST(Format, DirectivesAndTheirModifiers) {
  EXPECT_FORMAT("", "");
  EXPECT_FORMAT("%", "%%%");
  EXPECT_FORMAT("99.50%", "%f1,3.2,2%%%%", 99.5);
  EXPECT_FORMAT("abc", "abc%");
  // Two percent signs alone open a percent directive whose modifiers runs to the end.
  EXPECT_FORMAT("x%", "x%%abc");
  // A letter without a handler yields nothing and takes no argument.
  EXPECT_FORMAT("7-8", "%q%%d%-%zzz%%d%", 7, 8);
  EXPECT_FORMAT("4294967295", "%u%", -1);
  EXPECT_FORMAT(" 7", "%db2%", 7);
  EXPECT_FORMAT("-0012", "%d05%", -12);
  EXPECT_FORMAT("**42", "%d*4%", 42);
  EXPECT_FORMAT("34", "%d0,2%", 1234);    // a limit keeps the low-order digits
  EXPECT_FORMAT("|", "%d0,0%|", 5);       // an empty field
  EXPECT_FORMAT("1234", "%d,2%", 1234);   // a comma first is the fill, 2 the width
  EXPECT_FORMAT("001234", "%d0v,v%", 6, 2, 1234);
  // A width argument keeps its low 16 bits and then its low 8 bits.
  EXPECT_FORMAT("   42", "%dv%", 0x10105, 42);
  EXPECT_FORMAT("07", "%d0258%", 7);  // digits in the format are cut to 8 bits as well
  EXPECT_FORMAT("1234", "%d4,x%", 1234);  // a comma without a figure ends the modifiers
  EXPECT_FORMAT("A", "%c%", 'A' + 256);
  EXPECT_FORMAT("abcdefgh", "%s5,2%", "abcdefgh");
  EXPECT_FORMAT("234.50", "%f1,3.2,2%", 1234.5);
  EXPECT_FORMAT("000.00", "%f1,3.2,2%", 999.999);  // rounds up to 1000, limit 3
  EXPECT_FORMAT("5.5", "%f%", 5.5);
  EXPECT_FORMAT("2", "%f%", 2.0);
  EXPECT_FORMAT("0", "%f%", 1e-12);  // beyond the ten-digit maximum
  EXPECT_FORMAT("0.0000000001", "%f%", 1e-10);
  EXPECT_FORMAT("+3", "%fs%", 1, 3.0);
  EXPECT_FORMAT("3", "%fs%", 0x100, 3.0);  // only the low byte of the flag counts
  EXPECT_FORMAT("    3.25", "%f5.2%", 3.25);
  EXPECT_FORMAT("3.2000", "%f1.*4%", 3.2);
  EXPECT_FORMAT(".3.5", "%f.2%", 3.5);  // a leading point is the integer fill
  EXPECT_FORMAT("  7.1", "%fv.v,v%", 3, 1, 1, 7.125);
  EXPECT_FORMAT("NAN", "%f+5.2%", std::nan(""));
  EXPECT_FORMAT("+inf", "%f+%", HUGE_VAL);
  EXPECT_FORMAT("-inf", "%f%", -HUGE_VAL);
}

TEST(Format, HugeRealsKeepTheLowIntegerDigitsWithinTheLimit) {
  char* s = JFormatNew("%f%", 1e300);
  EXPECT_EQ(strlen(s), 255u);
  JFree(s);
  s = JFormatNew("%f1,255.255,255%", -1.7976931348623157e308);
  EXPECT_EQ(strlen(s), 1u + 255 + 1 + 255);
  JFree(s);
}

TEST(Format, FixedFractionsAgreeWithTheStandardConversion) {
  std::mt19937_64 rng(21);
  for (int i = 0; i < 20000; ++i) {
    double value = std::ldexp(static_cast<double>(rng() >> 11), static_cast<int>(rng() % 80) - 70);
    if (rng() & 1) value = -value;
    int digits = static_cast<int>(rng() % 12);
    char format[32];
    snprintf(format, sizeof format, "%%f1,255.%d,%d%%", digits, digits);
    char want[512];
    snprintf(want, sizeof want, "%.*f", digits, value);
    char* got = JFormatNew(format, value);
    ASSERT_STREQ(got, want) << format << " of " << value;
    JFree(got);
  }
}

TEST(Format, DecimalAndHexAgreeWithTheStandardConversion) {
  std::mt19937 rng(4);
  for (int i = 0; i < 20000; ++i) {
    int32_t v = static_cast<int32_t>(rng()) >> (rng() % 32);
    int width = static_cast<int>(rng() % 14);
    char want[64], got[64];
    // The sign leads the field and the fill follows it.
    std::string digits = std::to_string(std::abs(static_cast<int64_t>(v)));
    int count = static_cast<int>(digits.size()) + (v < 0);
    snprintf(want, sizeof want, "%s%s%s", v < 0 ? "-" : "", std::string(std::max(0, width - count), ' ').c_str(),
             digits.c_str());
    char format[16];
    snprintf(format, sizeof format, "%%d%d%%", width);
    JFormatInto(got, width ? format : "%d%", v);
    ASSERT_STREQ(got, want) << format;
    snprintf(want, sizeof want, "%0*X", width, static_cast<unsigned>(v));
    JFormatInto(got, "%x0v%", width, v);
    ASSERT_STREQ(got, want);
  }
}

TEST(Format, RandomDirectivesNeverWriteOtherThanTheyMeasure) {
  // Integer directives with random specs (widths and limits from arguments
  // included): every argument is an int, so any modifiers is safe to try.
  std::mt19937 rng(99);
  const char letters[] = "%cdux qzlbv";
  const char specChars[] = "lb0123456789v,.+ x*";  // no s or f: they would read a pointer or a double
  for (int i = 0; i < 20000; ++i) {
    std::string format;
    int pieces = static_cast<int>(rng() % 6);
    for (int p = 0; p < pieces; ++p) {
      if (rng() % 3 == 0) format += "ab";
      format += '%';
      format += letters[rng() % (sizeof letters - 1)];
      int specLength = static_cast<int>(rng() % 6);
      for (int k = 0; k < specLength; ++k) format += specChars[rng() % (sizeof specChars - 1)];
      if (rng() % 8) format += '%';
    }
    int a[12];
    for (int& x : a) x = static_cast<int>(rng());
    size_t measured = JFormatLength(format.c_str(), a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9],
                                    a[10], a[11]);
    char* s = JFormatNew(format.c_str(), a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11]);
    // %c% may write a zero byte, so the texts are compared by their measured length.
    char* exact = static_cast<char*>(JAlloc(measured + 1));
    size_t written = JFormatIntoSized(exact, measured + 1, format.c_str(), a[0], a[1], a[2], a[3], a[4], a[5], a[6],
                                      a[7], a[8], a[9], a[10], a[11]);
    EXPECT_EQ(written, measured) << format;
    EXPECT_EQ(memcmp(s, exact, measured + 1), 0) << format;
    EXPECT_EQ(s[measured], 0);
    JFree(s);
    JFree(exact);
  }
}

TEST(Format, IntAndUnsignedHelpers) {
  char buffer[12];
  EXPECT_STREQ(JFormatInt(buffer, INT32_MIN), "-2147483648");
  EXPECT_STREQ(JFormatUnsigned(buffer, UINT32_MAX), "4294967295");
}
