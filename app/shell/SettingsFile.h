// The lines of the settings file: a key, a colon and an escaped value, ended by CR LF.
// A line feed in a value is written as backslash n and a backslash as two; long values
// are cut into pieces that each get a line of their own under the same key.
#pragma once
#include <cstddef>

struct JFile;

constexpr size_t kSettingKeyMax = 50;    // characters of a key
constexpr size_t kSettingValueMax = 80;  // characters of a value as written, after the colon
constexpr size_t kSettingPieceMax = 79;  // characters of a value a line carries, before escaping

// Reads the line at the file's position into key (kSettingKeyMax + 1 bytes) and value
// (kSettingValueMax + 1 bytes), unescaped. False at the end of the file and for a
// malformed line (no colon, a key or value too long); the reading of the file stops there.
bool ReadSettingLine(JFile* file, char* key, char* value);
// Writes the value's lines; an empty value writes none. False when a write failed.
bool WriteSetting(JFile* file, const char* key, const char* value);
