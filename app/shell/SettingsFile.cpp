#include "app/shell/SettingsFile.h"

#include <cstdint>
#include <cstring>

#include "jwin/J_file.h"

namespace {

// The longest well-formed line with its CR LF: a key of 50, the colon, a value of 80.
constexpr size_t kReadChunk = kSettingKeyMax + 1 + kSettingValueMax + 2;

// The escaped form of one source character; its length (1 or 2).
size_t Escape(char c, char* out) {
  if (c == '\n' || c == '\\') {
    out[0] = '\\';
    out[1] = c == '\n' ? 'n' : '\\';
    return 2;
  }
  out[0] = c;
  return 1;
}

void Unescape(const char* from, size_t length, char* to) {
  size_t n = 0;
  for (size_t i = 0; i < length; ++i) {
    if (from[i] != '\\') {
      to[n++] = from[i];
    } else if (i + 1 < length) {  // a backslash ending the value is dropped
      ++i;
      to[n++] = from[i] == 'n' ? '\n' : from[i];
    }
  }
  to[n] = '\0';
}

}  // namespace

bool ReadSettingLine(JFile* file, char* key, char* value) {
  char bytes[kReadChunk];
  const uint64_t start = JFileGetPos(file);
  uint64_t count = sizeof bytes;
  // An empty read is the end of the file, not an empty line.
  if (!JFileRead(file, &count, bytes) || count == 0) return false;
  size_t length = static_cast<size_t>(count);
  for (size_t i = 0; i + 1 < count; ++i) {
    if (bytes[i] == '\r' && bytes[i + 1] == '\n') {
      length = i;
      JFileSetPos(file, start + i + 2);
      break;
    }
  }
  const char* colon = static_cast<const char*>(std::memchr(bytes, ':', length));
  if (!colon) return false;
  const size_t keyLength = static_cast<size_t>(colon - bytes);
  const size_t valueLength = length - keyLength - 1;
  if (keyLength > kSettingKeyMax || valueLength > kSettingValueMax) return false;
  std::memcpy(key, bytes, keyLength);
  key[keyLength] = '\0';
  Unescape(colon + 1, valueLength, value);
  return true;
}

bool WriteSetting(JFile* file, const char* key, const char* value) {
  const size_t keyLength = std::strlen(key);
  const char* rest = value;
  while (*rest) {
    // A piece carries at most 79 characters, and no more than fit the reading limit once
    // escaped, so every line written can be read back.
    char line[kSettingKeyMax + 1 + kSettingValueMax + 2];
    std::memcpy(line, key, keyLength);
    size_t n = keyLength;
    line[n++] = ':';
    size_t taken = 0;
    char escaped[2];
    while (rest[taken] && taken < kSettingPieceMax) {
      const size_t e = Escape(rest[taken], escaped);
      if (n - keyLength - 1 + e > kSettingValueMax) break;
      std::memcpy(line + n, escaped, e);
      n += e;
      ++taken;
    }
    line[n++] = '\r';
    line[n++] = '\n';
    uint64_t count = n;
    if (!JFileWrite(file, &count, line) || count != n) return false;
    rest += taken;
  }
  return true;
}
