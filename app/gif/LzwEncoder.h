// The GIF image-data compressor: variable-width LZW codes of up to 12 bits, packed
// least significant bit first into data sub-blocks of at most 255 bytes, which go
// to the byte sink. The hash table is allocated once and reused; a compression on
// another thread brings its own (LzwCompressWith).
#pragma once
#include <cstdint>

// The pixel source: stores up to `max` values (colour-table indices) in `out` and
// returns how many it stored. The encoder pulls runs of pixels rather than single
// ones so that the per-pixel cost stays a few nanoseconds.
typedef uint32_t (*GifPixelProc)(void* data, uint8_t* out, uint32_t max);

// Allocates the encoder's tables; called once at start-up. Compressing without it
// allocates them on first use.
void LzwInit();

// Compresses `pixelCount` values pulled from `source` into data sub-blocks written
// to the byte sink. `initBits` is the minimum code size plus one (3 to 9). Neither
// the minimum-code-size byte nor the closing zero-length block is written here:
// both belong to the image writer.
void LzwCompress(int initBits, uint32_t pixelCount, GifPixelProc source, void* data);
// LzwCompress with a hash table of its own (LzwTableEntries() entries), so that two
// compressions can run at once on two threads, each into its own thread's sink.
void LzwCompressWith(uint64_t* table, int initBits, uint32_t pixelCount, GifPixelProc source, void* data);
uint32_t LzwTableEntries();

// A run of `length` pixels of one value.
struct GifRun {
  uint32_t length;
  uint8_t value;
};
// The run source: stores up to `max` runs in `out` and returns how many it stored.
typedef uint32_t (*GifRunProc)(void* data, GifRun* out, uint32_t max);

// LzwCompress for pixels given as runs, with exactly the same output. A long run
// costs about the codes it produces rather than its length, so images that are
// mostly one value (the transparent index of a later pass) compress in far fewer steps.
void LzwCompressRuns(int initBits, uint32_t pixelCount, GifRunProc source, void* data);
