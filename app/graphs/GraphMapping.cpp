#include "app/graphs/GraphMapping.h"

#include <cmath>
#include <cstring>

#include "app/gif/ByteSize.h"
#include "jindep/Ji_prinf.h"
#include "jindep/string_lists.h"

namespace {

// The plot is used from 2.005 pixels inside each edge of its frame.
constexpr double kInset = 2.005;

int16_t Right(const GraphRecord* g) { return static_cast<int16_t>(g->plotLeft + g->plotWidth - 1); }
int16_t Bottom(const GraphRecord* g) { return static_cast<int16_t>(g->plotTop + g->plotHeight - 1); }

// Truncated to a pixel; what cannot be a position (infinite, not a number) goes to `fallback`.
int16_t Pixel(double v, int16_t fallback) {
  if (std::isnan(v)) return fallback;
  if (v < -32768.0) return -32768;
  if (v > 32767.0) return 32767;
  return static_cast<int16_t>(v);
}

double Ln(double v) { return std::log(v); }

// A scale through two points (a at pixel pa, b at pixel pb); a flat one when a = b.
void Through(double a, double pa, double b, double pb, double* scale, double* offset) {
  *scale = b != a ? (pb - pa) / (b - a) : 0.0;
  *offset = pa - a * *scale;
  if (!std::isfinite(*scale) || !std::isfinite(*offset)) {
    *scale = 0.0;
    *offset = pa;
  }
}

}  // namespace

void LayoutGraphPlot(GraphRecord* g, int16_t width, int16_t height) {
  g->areaWidth = width;
  g->areaHeight = height;
  g->plotLeft = g->marginLeft;
  g->plotTop = g->marginTop;
  const int w = width - g->marginLeft - g->marginRight;
  const int h = height - g->marginTop - g->marginBottom;
  g->plotWidth = static_cast<int16_t>(w < 1 ? 1 : w);
  g->plotHeight = static_cast<int16_t>(h < 1 ? 1 : h);
  ComputeGraphMapping(g);
}

void ComputeGraphMapping(GraphRecord* g) {
  const double L = g->plotLeft + kInset, R = Right(g) - kInset;
  const double T = g->plotTop + kInset, B = Bottom(g) - kInset;
  if (g->xLinear) {
    Through(g->xMin, L, g->xMax, R, &g->xScale, &g->xOffset);
  } else {
    Through(Ln(g->xMin), L, Ln(g->xMax), R, &g->xScale, &g->xOffset);
  }
  const double yMin = static_cast<double>(g->yMin), yMax = static_cast<double>(g->yMax);
  if (g->yLinear) {
    Through(yMin, B, yMax, T, &g->yScale, &g->yOffset);
  } else if (g->kind == kGraphMaximumError) {
    Through(0.0, B - 1, Ln(yMax), T, &g->yScale, &g->yOffset);
  } else if (g->kind == kGraphFileSize) {
    Through(Ln(yMin), B, Ln(yMax), T, &g->yScale, &g->yOffset);
  } else {
    // Quality: the distance to the best quality, from the whole range at the bottom to a
    // thousandth of a pixel's worth (c) at the top. With c = 0 the scale is flat at the bottom.
    Through(Ln(yMax - yMin), B, Ln(static_cast<double>(g->qualityCeiling)), T, &g->yScale, &g->yOffset);
  }
}

int16_t GraphXForK(const GraphRecord* g, uint32_t k) {
  const double x = g->xLinear ? static_cast<double>(k) : Ln(k);
  return Pixel(x * g->xScale + g->xOffset, g->plotLeft);
}

int16_t GraphYForValue(const GraphRecord* g, uint64_t v) {
  const int16_t bottom = Bottom(g);
  if (g->yLinear) return Pixel(static_cast<double>(v) * g->yScale + g->yOffset, bottom);
  if (g->kind == kGraphQuality) {
    // Full quality sits just under the top edge; everything else stays below it.
    if (v >= g->yMax) return static_cast<int16_t>(g->plotTop + 2);
    const int16_t y = Pixel(Ln(static_cast<double>(g->yMax - v)) * g->yScale + g->yOffset, bottom);
    return y < g->plotTop + 3 ? static_cast<int16_t>(g->plotTop + 3) : y;
  }
  // The smallest value sits just over the bottom edge; everything else stays above it.
  if (v == g->yMin) return static_cast<int16_t>(bottom - 3);
  const int16_t y = Pixel(Ln(static_cast<double>(v)) * g->yScale + g->yOffset, bottom);
  return y > bottom - 4 ? static_cast<int16_t>(bottom - 4) : y;
}

uint32_t GraphKForX(const GraphRecord* g, int16_t x) {
  if (g->xScale == 0.0) return g->xMin;
  double u = (x - g->xOffset) / g->xScale;
  if (!g->xLinear) u = std::exp(u);
  u += 0.5;
  if (!(u >= 0.0)) return 0;
  return u >= 4294967295.0 ? UINT32_MAX : static_cast<uint32_t>(u);
}

bool GraphHasValue(const GraphRecord* g, uint32_t k) {
  return g->values && k >= g->dataFirst && k <= g->dataLast && g->values[k - g->dataFirst] != kNoGraphValue;
}

uint64_t GraphValue(const GraphRecord* g, uint32_t k) {
  return GraphHasValue(g, k) ? g->values[k - g->dataFirst] : kNoGraphValue;
}

uint32_t SnapGraphK(const GraphRecord* g, uint32_t k) {
  if (k < g->dataFirst) k = g->dataFirst;
  if (k > g->dataLast) k = g->dataLast;
  const uint32_t reach = g->dataLast - g->dataFirst;
  for (uint32_t d = 0; d <= reach; ++d) {
    if (k - g->dataFirst >= d && GraphHasValue(g, k - d)) return k - d;
    if (g->dataLast - k >= d && GraphHasValue(g, k + d)) return k + d;
  }
  return g->dataFirst;
}

void GraphKLabel(uint32_t k, char* text) {
  JFormatIntoSized(text, kGraphLabelSize, JStr(kStrColourCountLabel), static_cast<int>(k));
}

void GraphValueLabel(const GraphRecord* g, uint32_t k, uint64_t v, char* text) {
  if (g->byteLabels) {
    FormatByteSize(v, text);
    return;
  }
  // Errors are shares of the largest distance (768); quality is a share of the budget.
  const double whole = g->kind == kGraphQuality ? static_cast<double>(g->qualityBudget) : 768.0;
  const double percent = whole > 0 ? static_cast<double>(v) * 100.0 / whole : 0.0;
  JFormatIntoSized(text, kGraphLabelSize, JStr(kStrPercent), percent);
  // Full quality is shown only with all colours.
  if (g->kind == kGraphQuality && k != g->dataLast && strcmp(text, JFormatTemp(JStr(kStrPercent), 100.0)) == 0) {
    JFormatIntoSized(text, kGraphLabelSize, "%s%", JStr(kStrAlmostFullQuality));
  }
}
