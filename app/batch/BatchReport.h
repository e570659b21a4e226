// What the batch mode tells: the report of a written GIF (--report), why the targets
// chose the number of colours they chose, and, when a target cannot be met, the one line
// saying the best that can be reached.
#pragma once
#include <cstdint>
#include <cstdio>

#include "app/batch/BatchTargets.h"

struct Document;
struct RefineResult;

// The report: colours found and kept, passes, quality, maximum error, bytes, and the
// lines for the targets' choice and the refining when there were any. The measures are
// those of the ranking for the colours kept, taken before any refining.
struct BatchReportFigures {
  uint32_t coloursFound;
  uint32_t coloursKept;
  uint32_t passes;
  double quality;  // per cent
  uint32_t maximumError;
  uint64_t bytes;
  const BatchTargets* targets;    // null: no targets given
  const TargetChoice* choice;
  const RefineResult* refined;    // null: not refined
};

// Fills the measures of the figures for the document's colourCount.
void MeasureForReport(Document* document, BatchReportFigures* figures);
void PrintReport(FILE* out, const BatchReportFigures& figures);

// Why a target cannot be met and the best reachable value, as one line (JAlloc'd);
// `cap` is the most colours the search could use.
char* DescribeShortfall(const BatchTargets& targets, const TargetChoice& choice, uint32_t cap);
