#include "app/colour/Pipeline.h"

#include <cstring>

#include "app/colour/BlockPool.h"
#include "app/colour/ColourGraph.h"
#include "app/colour/ColourMaps.h"
#include "app/colour/Histogram.h"
#include "app/colour/Preview.h"
#include "app/document/Document.h"
#include "app/document/Progress.h"
#include "jindep/string_lists.h"
#include "jwin/bit_array.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"

namespace {
PipelineShowProc gShowProc = nullptr;
}

void SetPipelineShowProc(PipelineShowProc proc) { gShowProc = proc; }

bool RunColourPipeline(Document* document, const char** problem, PipelinePixels pixels) {
  const char* refusal = JPictureSizeProblem(document->width, document->height);
  JPixelBuffer* buffer = document->workingBuffer;
  if (!refusal && (!buffer || buffer->width != document->width || buffer->height != document->height))
    refusal = "The picture's pixels are missing.";
  if (refusal) {
    if (problem) *problem = refusal;
    return false;
  }
  EngineInit();
  JPixelBufferGet(buffer, 0, document->pictureMap, 0, buffer->height);

  ProgressBegin(JStr(kStrComputingHistogram), 4u << 24);
  document->window = nullptr;
  if (gShowProc) ProgressOnShow(gShowProc, document);

  // A window keeps the pixels to draw previews into, and shows the index image's stage
  // before the merging. Without a window the pixels are not needed again: each pixel's
  // index is written over its colour, and the indices (3 bytes each) wait through the
  // merging in place of the index image (4 bytes each), which is made once the graph and
  // the tree are gone: the peak of memory is lower.
  JPixelBuffer* indices = pixels == kPipelineKeepsPixels ? JPixelBufferNew(buffer->width, buffer->height) : buffer;
  uint32_t root = BuildHistogram(document, indices);
  // The tree takes no more nodes from here on, and its builder reserves more than
  // most pictures need.
  BlockPoolTrim(TreeNodePool());
  ColourTable* table = document->colourTable;
  if (pixels == kPipelineKeepsPixels) {
    document->indexImage = MakeIndexImage(indices);
    JPixelBufferFree(indices);
  } else {
    document->workingBuffer = nullptr;  // it holds the indices now
  }
  ColourGraph* graph = BuildColourGraph(table, root);
  document->mergeOrder = ComputeColourMaps(graph, table, root);
  memset(table->tally, 0, static_cast<size_t>(table->count) * sizeof(uint32_t));
  if (pixels == kPipelineFreesPixels) {
    document->indexImage = MakeIndexImage(indices);
    JPixelBufferFree(indices);
  }
  ProgressEnd();

  document->transparencyOverlay = JMaskMapNew(document->width, document->height);
  JPixMapFillWhite(document->transparencyOverlay);
  document->maskPicture = JMaskMapNew(document->width, document->height);
  document->maskBuffer = JBitArrayNew(document->width, document->height);
  if (document->transparencyOverlay && document->maskPicture && document->maskBuffer) return true;
  if (problem) *problem = JStr(kStrPictureNoMemory);  // marking would silently do nothing
  return false;
}

void FreeColourResults(Document* document) {
  ColourTableFree(document->colourTable);
  document->colourTable = nullptr;
  IndexImageFree(document->indexImage);
  document->indexImage = nullptr;
  MergeOrderFree(document->mergeOrder);
  document->mergeOrder = nullptr;
  JPixMapFree(document->transparencyOverlay);
  document->transparencyOverlay = nullptr;
  JPixMapFree(document->maskPicture);
  document->maskPicture = nullptr;
  JBitArrayFree(document->maskBuffer);
  document->maskBuffer = nullptr;
  TransparentListClear(&document->transparentList);
}
