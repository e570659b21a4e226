// The quality and maximum-error graphs: both measures are computed in one sweep of the
// merge order when the graph opens, and again when the transparent colours change.
#pragma once

struct Document;
struct GraphRecord;

void OpenQualityGraph(Document* document);
void OpenMaximumErrorGraph(Document* document);
// Run the measure again if that graph is open.
void RefreshQuality(Document* document);
void RefreshMaximumError(Document* document);

// The measure for every number of colours into a graph whose values span 1 .. n, and its ranges.
void ComputeQualityGraph(Document* document, GraphRecord* graph);
void ComputeMaximumErrorGraph(Document* document, GraphRecord* graph);
