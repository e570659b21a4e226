// Platform fonts behind the shared font references of jindep/Ji_font.
#pragma once
#include <cstdint>

struct JFontRef;

// Style bits of a font reference.
enum : uint16_t {
  kJStyleBold = 1,
  kJStyleItalic = 2,
  kJStyleUnderline = 4,
  kJStyleOutline = 8,
};

constexpr const char* kJDefaultFaceName = "MS Sans Serif";
constexpr uint16_t kJDefaultFontSize = 15;

// Registers the platform font procedures and makes the two default fonts.
void JFontInitPlatform();
// The application and system fonts: the default face at size 15.
JFontRef* JApplicationFont();
JFontRef* JSystemFont();
// Ascent, descent and the two halves of the external leading (the first rounded down).
bool JFontMetrics(JFontRef* font, int16_t* ascent, int16_t* descent, int16_t* leadingAbove,
                  int16_t* leadingBelow);
