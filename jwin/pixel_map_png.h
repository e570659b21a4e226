// A pixel map saved as a PNG file (8-bit RGB), for pictures the program draws to show
// outside a window.
#pragma once
#include <cstddef>

struct JPixMap;

// False with a reason (written into `reason`, at most `reasonSize` bytes) when the map is
// not 32-bit or the file cannot be written; a failed write leaves no file behind.
bool JPixMapWritePng(JPixMap* map, const char* path, char* reason, size_t reasonSize);
