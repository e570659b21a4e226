// Driver checks: the drawing device's raster capabilities are tested once, and a warning
// lists each capability the program needs that the driver lacks.
#pragma once
#include <cstdint>

// Raster capability bits as the device reports them.
enum : uint32_t {
  kJCapsLargeBitmaps = 0x0008,   // bitmaps larger than 64 KB
  kJCapsDibs = 0x0080,           // device-independent bitmaps in and out
  kJCapsStretch = 0x0800,        // stretching bitmaps
  kJCapsStretchDibs = 0x2000,    // stretching device-independent bitmaps
};

// The warning text for a device with these capabilities, as a new JAlloc string, or null
// when nothing is missing. `stretchTestFails` tells whether a test stretch of a one-pixel
// device-independent bitmap failed (it counts only when the capability is missing).
char* JDriverWarningText(uint32_t caps, bool printer, bool stretchTestFails);
// The capabilities of the screen: this platform's raster draws everything the program uses.
uint32_t JScreenRasterCaps();
// Shows the video (or printer) driver warning for these capabilities when any is missing;
// answers whether it was shown.
bool JDriverCheck(uint32_t caps, bool printer, bool stretchTestFails);
// The check of the screen at start-up.
bool JVideoDriverCheck();
