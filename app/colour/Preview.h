// The index image and the preview drawn from it.
#pragma once
#include <cstdint>

#include "app/colour/ColourTable.h"
#include "app/colour/IndexImage.h"

struct Document;
struct JPixelBuffer;

// The index image of a buffer of indices as the histogram writes them.
IndexImage* MakeIndexImage(const JPixelBuffer* indices);
// Writes every pixel's mapped colour into the working buffer and copies it into the picture map.
void RenderPreview(Document* document);
