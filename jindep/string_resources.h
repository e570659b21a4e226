// The program's string resources: every user-visible text, compiled in from
// resources/strings.inc and found by resource id. Id ranges:
//   1-25 file dialog messages and driver warnings, 40-83 toolkit dialogs, dates and menus,
//   100-103 main window, 128-129 and 160 string-list ranges, 200-222 file types,
//   1000-1171 the application's strings (key = id - 1000), 2000-2005 the alert strings (key = id - 2000),
//   3000- the batch program's texts, 4000- the application's texts without a design id.
#pragma once
#include <cstddef>
#include <cstdint>

enum JStringId : uint16_t {
#define JSTR(id, name, text) name = id,
#include "resources/strings.inc"
#undef JSTR
};

// The text of a resource, or null when there is none with that id.
const char* JResourceString(uint16_t id);
// Copies the resource text (cut to fit) into the buffer of `size` bytes; an absent
// resource gives an empty string. Answers the buffer.
char* JLoadString(uint16_t id, char* buffer, size_t size);
// As JLoadString, but an absent resource gives `defaultText` (also cut to fit).
char* JLoadStringDefault(uint16_t id, char* buffer, size_t size, const char* defaultText);
