// Sizes in bytes as people read them: "1 byte", "812 bytes", "3.5K", "120K", "1.2M", "4G".
#pragma once
#include <cstddef>
#include <cstdint>

// Room for the longest text FormatByteSize makes, terminator included.
inline constexpr size_t kByteSizeTextSize = 32;

// Whole units with truncated tenths below 100 units (K and M) and for G; sizes are
// 64-bit because a stream of many full-size passes can pass 4 GiB.
void FormatByteSize(uint64_t size, char* text);
