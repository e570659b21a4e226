#include "platform/wm/Utf8.h"

namespace platform::wm {

std::vector<uint32_t> DecodeUtf8(const std::string& text) {
  std::vector<uint32_t> out;
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    int extra = lead >= 0xF0 && lead < 0xF8 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (lead >= 0xF8 || i + extra >= text.size()) extra = 0;
    uint32_t code = extra ? lead & (0x3F >> extra) : lead;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) {
        extra = 0;
        code = lead;
        break;
      }
      code = (code << 6) | (c & 0x3F);
    }
    i += 1 + extra;
    out.push_back(code);
  }
  return out;
}

}  // namespace platform::wm
