#include "app/gif/ByteSize.h"

#include "jindep/Ji_prinf.h"
#include "jindep/string_lists.h"

namespace {

// w units and t tenths of `unit`; the tenths are dropped when 0 or when w has reached `tenthsBelow`.
void FormatUnits(uint64_t size, uint64_t unit, uint64_t tenthsBelow, JStringId withTenths, JStringId whole,
                 char* text) {
  const uint64_t w = size / unit;
  const uint64_t t = (size % unit) * 10 / unit;  // the remainder is below 2^30: no overflow
  if (t != 0 && w < tenthsBelow) {
    JFormatIntoSized(text, kByteSizeTextSize, JStr(withTenths), static_cast<unsigned>(w), static_cast<unsigned>(t));
  } else {
    JFormatIntoSized(text, kByteSizeTextSize, JStr(whole), static_cast<unsigned>(w));
  }
}

}  // namespace

void FormatByteSize(uint64_t size, char* text) {
  constexpr uint64_t kKilo = 1024;
  constexpr uint64_t kMega = kKilo * 1024;
  constexpr uint64_t kGiga = kMega * 1024;
  if (size == 1) {
    JFormatIntoSized(text, kByteSizeTextSize, "%s%", JStr(kStrOneByte));
  } else if (size < kKilo) {
    JFormatIntoSized(text, kByteSizeTextSize, JStr(kStrBytes), static_cast<unsigned>(size));
  } else if (size < kMega) {
    FormatUnits(size, kKilo, 100, kStrKiloTenths, kStrKilo, text);
  } else if (size < kGiga) {
    FormatUnits(size, kMega, 100, kStrMegaTenths, kStrMega, text);
  } else {
    // Gigabytes keep their tenths at any size; whole counts past 32 bits cannot occur
    // (a GIF stream is far below 4 billion gigabytes).
    FormatUnits(size, kGiga, UINT64_MAX, kStrGigaTenths, kStrGiga, text);
  }
}
