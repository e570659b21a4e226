#include "platform/clipboard/Latin1.h"

#include "platform/wm/Utf8.h"

namespace platform::clipboard {

std::string Utf8FromLatin1(const std::string& latin1) {
  std::string out;
  out.reserve(latin1.size());
  for (const char c : latin1) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

std::string Latin1FromUtf8(const std::string& utf8) {
  std::string out;
  for (const uint32_t code : wm::DecodeUtf8(utf8)) out += code < 0x100 ? static_cast<char>(code) : '?';
  return out;
}

}  // namespace platform::clipboard
