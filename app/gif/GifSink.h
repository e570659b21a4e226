// The byte sink: every byte of a GIF stream passes through here. It either hands
// the bytes to a destination or only counts them, so the same writer code both
// saves a file and measures exactly how large that file would be. Each thread has
// a sink of its own.
#pragma once
#include <cstddef>
#include <cstdint>

// A destination takes `count` bytes and says whether it stored them all.
typedef bool (*GifSinkProc)(void* data, const uint8_t* bytes, size_t count);

// Starts a new stream: sets the destination (a null proc only counts) and sets the
// byte count and the failure flag to zero.
void GifSinkBegin(GifSinkProc proc, void* data);
// Counts the bytes and passes them on to the destination, if any.
void GifSinkWrite(size_t count, const uint8_t* bytes);
// True when the stream only counts (no destination): writers may then pass null bytes.
bool GifSinkCounting();
// Bytes passed to the sink since the last GifSinkBegin, written or only counted.
uint64_t GifSinkCount();
// True when the destination refused any write since the last GifSinkBegin; the
// stream then is incomplete and must not be kept.
bool GifSinkFailed();

// A sink as it stands, for a thread that writes something else for a while and then
// goes on with its stream.
struct GifSinkState {
  GifSinkProc proc;
  void* data;
  uint64_t count;
  bool failed;
};
void GifSinkSave(GifSinkState* state);
void GifSinkRestore(const GifSinkState* state);
