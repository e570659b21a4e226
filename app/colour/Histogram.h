// The first stage of the colour pipeline: every pixel of the working buffer is
// counted into the colour table and the colour tree. Colours are numbered in
// order of first appearance, scanning from the top-left pixel row by row.
#pragma once
#include <cstdint>

#include "app/colour/ColourTable.h"

struct Document;
struct JPixelBuffer;

// Counts every pixel of `buffer` (rows visited top of the picture first).
void ScanHistogram(const JPixelBuffer* buffer, ColourTable* table, uint32_t root);
// Creates the document's colour table (capacity 511) and a new tree, scans the
// working buffer and returns the tree's root.
uint32_t BuildHistogram(Document* document);
