// A graph drawn into a picture instead of a window, by the same drawing code, and written
// as a PNG file: how the batch mode shows a curve. The toolkit must be running (any backend).
#pragma once
#include <cstddef>

#include "app/graphs/GraphRecord.h"

// The measure of that kind for the whole range of colours under the document's current
// settings. File sizes are measured for at most kGraphPictureSizeSamples numbers of colours,
// spread evenly over the range in the sampling order: a picture shows no more than that.
bool WriteGraphPicture(Document* document, GraphKind kind, const char* path, char* reason, size_t reasonSize);

inline constexpr unsigned kGraphPictureSizeSamples = 4096;
inline constexpr int kGraphPictureWidth = 640;
inline constexpr int kGraphPictureHeight = 400;
