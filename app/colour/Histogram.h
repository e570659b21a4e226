// The first stage of the colour pipeline: every pixel of the working buffer is
// counted into the colour table and the colour tree. Colours are numbered in
// order of first appearance, scanning from the top-left pixel row by row.
#pragma once
#include <cstdint>

struct Document;
struct JPixelBuffer;

// Creates the document's colour table and a new tree, counts the working buffer's
// pixels (rows visited top of the picture first) and returns the tree's root. Unless
// `indices` is null, each pixel's colour index goes into the three bytes of the same
// pixel there (see PackedIndexAt): a buffer of the picture's size, or the working
// buffer itself, whose colours are then gone.
uint32_t BuildHistogram(Document* document, JPixelBuffer* indices = nullptr);
