#include "app/batch/BatchReport.h"

#include "app/batch/BatchRefine.h"
#include "app/colour/ColourTable.h"
#include "app/colour/Measures.h"
#include "app/gif/GifWriter.h"
#include "app/document/Document.h"
#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"

namespace {

// Short texts for numbers, built in place.
struct Number {
  char text[32];
};

Number Percent(double value) {
  Number n;
  JFormatInto(n.text, JStr(kStrPercent), value);
  return n;
}

Number Bytes(uint64_t value) {
  Number n;
  snprintf(n.text, sizeof n.text, "%llu", static_cast<unsigned long long>(value));
  return n;
}

void PrintLine(FILE* out, char* line) {
  fprintf(out, "%s\n", line);
  JFree(line);
}

// "quality at least 95.00% and maximum error at most 3.00%": the measure targets given.
char* MeasureTargets(const BatchTargets& t) {
  char* quality = t.quality ? JFormatNew(JStr(kStrBatchTargetQuality), Percent(t.minQuality).text) : nullptr;
  char* error = t.error ? JFormatNew(JStr(kStrBatchTargetError), Percent(t.maxError).text) : nullptr;
  char* both = quality && error ? JFormatNew(JStr(kStrBatchTargetBoth), quality, error)
                                : JStrDup(quality ? quality : error ? error : "");
  JFree(quality);
  JFree(error);
  return both;
}

char* DescribeChoice(const BatchTargets& t, const TargetChoice& c) {
  if (!t.quality && !t.error) {
    if (c.neighbour == 0)
      return JFormatNew(JStr(kStrBatchWhyAllFit), c.colours, Bytes(t.maxBytes).text);
    return JFormatNew(JStr(kStrBatchWhyMostFit), c.colours, Bytes(t.maxBytes).text, c.neighbour,
                      Bytes(static_cast<uint64_t>(c.neighbourValue)).text);
  }
  char* wanted = MeasureTargets(t);
  char* shortfall = JFormatNew(JStr(c.neighbourError ? kStrBatchMeasureError : kStrBatchMeasureQuality),
                            Percent(c.neighbourValue).text);
  char* line = c.neighbour == 0 ? JFormatNew(JStr(kStrBatchWhyOneMeets), wanted)
                                : JFormatNew(JStr(kStrBatchWhyFewest), c.colours, wanted, c.neighbour, shortfall);
  JFree(shortfall);
  JFree(wanted);
  if (!t.bytes) return line;
  char* withSize = JFormatNew(JStr(kStrBatchWhyAndFits), line, Bytes(c.bytes).text, Bytes(t.maxBytes).text);
  JFree(line);
  return withSize;
}

}  // namespace

void MeasureForReport(Document* d, BatchReportFigures* f) {
  const uint32_t n = d->colourTable->count;
  const uint32_t k = d->colourCount;
  f->coloursFound = n;
  f->coloursKept = k;
  f->passes = GifStreamPasses(d, k);
  f->quality = 0;
  f->maximumError = 0;
  if (k == 0) return;
  uint64_t* quality = JAllocArray<uint64_t>(n);
  uint32_t* error = JAllocArray<uint32_t>(n);
  ComputeQuality(d, quality);
  ComputeMaximumError(d, error);
  f->quality = 100.0 * static_cast<double>(quality[k - 1]) / static_cast<double>(QualityBudget(d));
  f->maximumError = error[k - 1];
  JFree(quality);
  JFree(error);
}

void PrintReport(FILE* out, const BatchReportFigures& f) {
  PrintLine(out, JFormatNew(JStr(kStrBatchReportFound), f.coloursFound));
  PrintLine(out, JFormatNew(JStr(kStrBatchReportKept), f.coloursKept));
  PrintLine(out, JFormatNew(JStr(kStrBatchReportPasses), f.passes));
  if (f.coloursKept > 0) {
    PrintLine(out, JFormatNew(JStr(kStrBatchReportQuality), Percent(f.quality).text));
    PrintLine(out, JFormatNew(JStr(kStrBatchReportMaximumError), f.maximumError,
                              Percent(100.0 * f.maximumError / 768.0).text));
  }
  PrintLine(out, JFormatNew(JStr(kStrBatchReportBytes), Bytes(f.bytes).text));
  if (f.targets && f.choice) PrintLine(out, DescribeChoice(*f.targets, *f.choice));
  if (f.refined) {
    const double before = static_cast<double>(f.refined->errorBefore);
    const double saved = before > 0 ? 100.0 * (before - static_cast<double>(f.refined->errorAfter)) / before : 0;
    PrintLine(out, JFormatNew(JStr(kStrBatchReportRefined), Percent(saved).text, f.refined->rounds));
  }
}

char* DescribeShortfall(const BatchTargets& t, const TargetChoice& c, uint32_t cap) {
  switch (c.outcome) {
    case kTargetQualityUnreachable:
      return JFormatNew(JStr(kStrBatchQualityUnreachable), cap, Percent(t.minQuality).text, Percent(c.quality).text);
    case kTargetErrorUnreachable:
      return JFormatNew(JStr(kStrBatchErrorUnreachable), cap, Percent(t.maxError).text, Percent(c.error).text);
    case kTargetBytesUnreachable:
      break;
    case kTargetMet:
      return nullptr;
  }
  if (!t.quality && !t.error)
    return JFormatNew(JStr(kStrBatchBytesUnreachable), Bytes(t.maxBytes).text, Bytes(c.bytes).text);
  char* wanted = MeasureTargets(t);
  char* line = c.fitting ? JFormatNew(JStr(kStrBatchBytesShortOfMeasures), c.colours, wanted, Bytes(c.bytes).text,
                                      Bytes(t.maxBytes).text, c.fitting, Percent(c.fittingQuality).text)
                         : JFormatNew(JStr(kStrBatchBytesNoneFit), c.colours, wanted, Bytes(c.bytes).text,
                                      Bytes(t.maxBytes).text);
  JFree(wanted);
  return line;
}
