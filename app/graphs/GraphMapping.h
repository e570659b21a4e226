// Where a graph puts things: a number of colours k and a value to pixels and back, the
// snapping of k to a plotted value, and the texts of the value labels.
#pragma once
#include <cstddef>
#include <cstdint>

#include "app/graphs/GraphRecord.h"

inline constexpr size_t kGraphLabelSize = 40;

// Lays the plot out in an area of the given size and recomputes the mapping.
void LayoutGraphPlot(GraphRecord* graph, int16_t width, int16_t height);
// Recomputes the mapping from the plot rectangle, the ranges and the scales.
void ComputeGraphMapping(GraphRecord* graph);

int16_t GraphXForK(const GraphRecord* graph, uint32_t k);
int16_t GraphYForValue(const GraphRecord* graph, uint64_t value);
// The k a horizontal pixel position stands for (0 when below 1).
uint32_t GraphKForX(const GraphRecord* graph, int16_t x);

bool GraphHasValue(const GraphRecord* graph, uint32_t k);
uint64_t GraphValue(const GraphRecord* graph, uint32_t k);
// The nearest k with a value: k is clamped to the data, then k - d and k + d are tried for
// d = 0, 1, 2, ...; dataFirst when no k has a value.
uint32_t SnapGraphK(const GraphRecord* graph, uint32_t k);

void GraphKLabel(uint32_t k, char* text);
// The value's text: a byte size, a per-cent error, or a per-cent quality, where full
// quality reads "100.00%" only at the last k ("99.99%" before it).
void GraphValueLabel(const GraphRecord* graph, uint32_t k, uint64_t value, char* text);
