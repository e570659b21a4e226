// The batch mode's command line:
//
//   tintwell-batch IN OUT.gif [--colours N] [--passes-bits A,B] [--global]
//                  [--interlace first,later] [--transparent RRGGBB ...]
//                  [--background RRGGBB] [--report] [--graph quality|error|size FILE.png]
#pragma once
#include <cstdint>

#include "app/batch/BatchGraph.h"

struct BatchOptions {
  const char* input;   // points into argv
  const char* output;  // points into argv
  bool coloursGiven;
  uint32_t colours;
  bool passBitsGiven;
  uint16_t firstPassBits;
  uint16_t laterPassBits;
  bool global;
  bool interlaceGiven;
  uint8_t interlaceFirst;
  uint8_t interlaceLater;
  uint32_t* transparent;  // colour keys 0x00RRGGBB, JAlloc'd
  uint32_t transparentCount;
  bool backgroundGiven;
  uint32_t background;  // 0x00RRGGBB
  bool report;
  bool help;
  uint64_t maxPixels;  // --max-pixels; 0 for the default limit
  BatchGraphOption graph;  // --graph
};

// Reads the command line (argv[0] is the program). False with a one-line message
// (JAlloc'd, the caller frees it) when an option or value is not understood.
bool BatchParseArguments(int argc, char** argv, BatchOptions* options, char** problem);
void BatchOptionsFree(BatchOptions* options);
