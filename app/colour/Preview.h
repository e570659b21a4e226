// The index image and the preview drawn from it.
#pragma once
#include <cstdint>

#include "app/colour/ColourTable.h"
#include "app/colour/IndexImage.h"

struct Document;
struct JPixelBuffer;

// Index of every pixel's colour in the table, top row first.
IndexImage* ComputeIndexImage(const JPixelBuffer* buffer, const ColourTable* table);
// Writes every pixel's mapped colour into the working buffer and copies it into the picture map.
void RenderPreview(Document* document);
