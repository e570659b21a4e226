// One opened picture with everything computed for it: its maps, the colour
// engine's results, the reduction settings and its windows.
#pragma once
#include <cstdint>

#include "app/colour/ColourTable.h"
#include "app/colour/IndexImage.h"
#include "app/colour/MergeOrder.h"
#include "app/colour/TransparentList.h"

struct JPixMap;
struct JPixelBuffer;
struct JBitArray;
struct JFileSpec;
struct JWindow;
struct ControlsPanel;
struct GraphRecord;
struct JWidget;

// Three 16-bit channels, 0 .. 65535.
struct DocumentColour {
  uint16_t red;
  uint16_t green;
  uint16_t blue;
};

struct Document {
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

  uint8_t estimating;
  uint64_t estimateBytes;

  // Reduction settings.
  uint32_t colourCount;
  uint8_t transparencyOn;
  uint8_t interlaceFirst;
  uint8_t interlaceLater;
  uint8_t useGlobalTable;
  uint16_t firstPassBits;  // 1 .. 8
  uint16_t laterPassBits;  // 1 .. 8

  void* estimateIdle;      // scheduled size-estimate call
  uint32_t estimatePass;
  ControlsPanel* controls;

  DocumentColour backgroundColour;  // written for transparent pixels
  TransparentList transparentList;

  // Results of the colour pipeline.
  ColourTable* colourTable;
  MergeOrder* mergeOrder;
  IndexImage* indexImage;
  JPixMap* transparencyOverlay;  // 1 bit a pixel: 1 opaque, 0 transparent
  JPixMap* maskPicture;          // the last transparency mask built
  JBitArray* maskBuffer;

  GraphRecord* graphs[3];  // quality, maximum error, file size

  // The preview window's scroll bars (null while hidden or before the window exists).
  JWidget* horizontalBar;
  JWidget* verticalBar;
  uint8_t closing;  // set once CloseDocument has begun: nothing may bind or close it again
};
