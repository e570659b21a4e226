// The headless batch mode: reads a picture, runs the colour pipeline, applies the
// reduction settings the way the controls panel would, and writes the GIF through
// the same writer as the program, all without windows.
//
//   tintwell-batch IN OUT.gif [--colours N] [--passes-bits A,B] [--global]
//                  [--interlace first,later] [--transparent RRGGBB ...]
//                  [--background RRGGBB] [--report] [--graph quality|error|size FILE.png]
#pragma once
#include <cstdint>
#include <cstdio>

#include "app/shell/BatchGraph.h"

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

// The whole run. Usage and the report go to `out`, problems and notes to `err`.
// Answers the exit status: 0 when the GIF was written (or help was asked for),
// 1 for bad input, in which case no output file is left behind.
int BatchRun(int argc, char** argv, FILE* out, FILE* err);
