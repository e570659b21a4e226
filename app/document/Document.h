// One opened picture with everything computed for it: its maps, the colour engine's
// results, the reduction settings (the record it is built on) and its windows. The
// floor names the engine's records only by pointer; their layouts are app/colour's.
#pragma once
#include <cstdint>

#include "app/document/ReductionSettings.h"

struct ColourTable;
struct ControlsPanel;
struct GraphRecord;
struct IndexImage;
struct MergeOrder;
struct JBitArray;
struct LaterPassPixels;
struct JFileSpec;
struct JPixMap;
struct JPixelBuffer;
struct JWidget;
struct JWindow;

struct Document : ReductionSettings {
  JFileSpec* fileSpec;         // owned; null for a clipboard picture
  char* name;                  // owned
  JPixMap* pictureMap;         // owned, 32 bits a pixel; shows the picture at the current colours
  JPixelBuffer* workingBuffer; // owned, same size
  JWindow* window;             // source window while the pipeline runs, then the preview window
  int16_t width;
  int16_t height;
  uint16_t scrollX;
  uint16_t scrollY;
  uint16_t centreX;
  uint16_t centreY;

  // The size estimate of the GIF the current settings would write.
  uint8_t estimating;     // passes remain to be measured
  uint64_t estimateBytes; // bytes of the passes measured so far
  uint32_t estimatePass;  // passes measured
  void* estimateIdle;     // the scheduled measuring call, or null
  LaterPassPixels* laterPasses;  // owned (app/gif): what writing later passes reads, or null

  ControlsPanel* controls;  // the controls window's panel (app/graphs), or null
  GraphRecord* graphs[3];   // quality, maximum error, file size (app/graphs)

  // Results of the colour pipeline.
  ColourTable* colourTable;
  MergeOrder* mergeOrder;
  IndexImage* indexImage;
  JPixMap* transparencyOverlay;  // 1 bit a pixel: 1 opaque, 0 transparent
  JPixMap* maskPicture;          // the last transparency mask built
  JBitArray* maskBuffer;

  // The preview window's scroll bars (null while hidden or before the window exists).
  JWidget* horizontalBar;
  JWidget* verticalBar;
  uint8_t closing;  // set once CloseDocument has begun: nothing may bind or close it again
};
