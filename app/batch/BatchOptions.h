// The batch mode's command line:
//
//   tintwell-batch IN OUT.gif [options]        IN or OUT may be - for standard input or output
//
// Options are read from one table (BatchOptions.cpp): adding one is a row and a reader.
#pragma once
#include <cstdint>

#include "app/batch/BatchGraph.h"
#include "app/batch/BatchTargets.h"

struct BatchOptions {
  const char* input;   // points into argv; "-" is standard input
  const char* output;  // points into argv; "-" is standard output
  bool coloursGiven;
  bool coloursAll;     // --colours all
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
  BatchTargets targets;
  bool refine;
  uint64_t maxPixels;  // 0: the default limit
  BatchGraphOption graph;
  bool quiet;
  bool report;
  bool help;
};

// Reads the command line (argv[0] is the program). False with a one-line message
// (JAlloc'd, the caller frees it) when an option or value is not understood.
bool BatchParseArguments(int argc, char** argv, BatchOptions* options, char** problem);
void BatchOptionsFree(BatchOptions* options);

// The usage text, one line a string, ending with an id of 0.
extern const int kBatchUsageLines[];
