#include "app/graphs/GraphPicture.h"

#include "app/colour/ColourTable.h"
#include "app/colour/Measures.h"
#include "app/document/Document.h"
#include "app/graphs/FileSizeGraph.h"
#include "app/graphs/GraphDrawing.h"
#include "app/graphs/GraphMapping.h"
#include "app/graphs/GraphWindow.h"
#include "app/graphs/MeasureGraphs.h"
#include "jindep/memory.h"
#include "jwin/J_draw.h"
#include "jwin/pixel_map.h"
#include "jwin/pixel_map_png.h"

namespace {

void MeasureSizes(Document* d, GraphRecord* g) {
  AttachFileSizeSampling(d, g);
  ResetSizeSamples(d, g);
  unsigned measured = 0;
  bool completed = false;
  while (StepFileSizeSampling(d, g, &completed))
    if (completed && ++measured >= kGraphPictureSizeSamples) break;
  StopFileSizeSampling(g);
}

void Draw(GraphRecord* g, JPixMap* map) {
  JPixMap* title = MakeGraphTitle(g->kind);
  JSetDrawBitmap(map);
  BeginGraphDrawing();
  DrawGraphFrame(g, title);
  if (g->valid) {
    BeginGraphPlot(g);
    while (ContinueGraphPlot(g, UINT32_MAX)) {
    }
  }
  EndGraphDrawing();
  JResetDrawArea(nullptr);
  JPixMapFree(title);
}

}  // namespace

bool WriteGraphPicture(Document* d, GraphKind kind, const char* path, char* reason, size_t reasonSize) {
  GraphRecord g{};
  g.document = d;
  g.kind = kind;
  g.byteLabels = kind == kGraphFileSize;
  g.yLinear = kind == kGraphFileSize;
  g.xLinear = true;
  g.cursorX = -1;
  g.qualityBudget = QualityBudget(d);
  g.qualityCeiling = static_cast<uint64_t>(d->width) * static_cast<uint64_t>(d->height) / 1024;
  MeasureGraphMargins(&g);
  LayoutGraphPlot(&g, kGraphPictureWidth, kGraphPictureHeight);
  const uint32_t n = d->colourTable ? d->colourTable->count : 0;
  if (n > 0) {
    if (kind == kGraphFileSize) {
      MeasureSizes(d, &g);
    } else {
      SetGraphData(&g, 1, n);
      if (kind == kGraphQuality) {
        ComputeQualityGraph(d, &g);
      } else {
        ComputeMaximumErrorGraph(d, &g);
      }
    }
  }
  JPixMap* map = JPixMapNewDirect(kGraphPictureWidth, kGraphPictureHeight, 32);
  bool written = false;
  if (map) {
    Draw(&g, map);
    written = JPixMapWritePng(map, path, reason, reasonSize);
    JPixMapFree(map);
  } else {
    JPixMapWritePng(nullptr, path, reason, reasonSize);  // says there is no picture
  }
  JFree(g.values);
  return written;
}
