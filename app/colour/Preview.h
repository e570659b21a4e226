// The index image and the preview drawn from it.
#pragma once
#include <cstdint>

#include "app/colour/IndexImage.h"

struct Document;
struct JPixelBuffer;

// Index of every pixel's colour, looked up in the colour tree, top row first.
IndexImage* ComputeIndexImage(const JPixelBuffer* buffer, uint32_t root);
// Writes every pixel's mappedColour into the working buffer and copies it into the picture map.
void RenderPreview(Document* document);
