// Palettes for any number of colours, read off the merge order: the first k
// colours of the order represent themselves, every other colour takes the
// representative of the colour it was merged into.
#pragma once
#include <cstdint>

#include "app/colour/ColourTable.h"
#include "app/colour/MergeOrder.h"

struct Document;
struct ColourGraph;

// Runs every merge of the graph, records the order and merge targets, and frees
// the tree (and the graph).
MergeOrder* ComputeColourMaps(ColourGraph* graph, ColourTable* table, uint32_t root);

// Sets the representative of every record for the first k colours (1 <= k <= n).
void MapColours(ColourTable* table, const MergeOrder* mergeOrder, uint32_t k);
// tally[i] = number of colours represented by i (optionally not counting transparent ones).
void CountMembers(const ColourTable* table, uint32_t* tally, bool skipTransparent);
// Representatives that stand for at least one colour not marked transparent.
uint32_t CountUsedRepresentatives(const ColourTable* table, uint32_t* tally);
// Widens the palette until exactly k representatives serve non-transparent colours.
// Requires k <= n - t; t is the number of transparent colours.
void MapColoursSkippingTransparent(ColourTable* table, uint32_t* tally, const MergeOrder* mergeOrder,
                                   uint32_t k, uint32_t t);
// Maps the document's colours for k colours, filling `tally` (n entries); k = 0 keeps the mapping.
void MapForCount(Document* document, uint32_t* tally, uint32_t k);
// Maps for the document's colourCount into the table's own tally, then renders the preview.
void ApplyColourCount(Document* document);
