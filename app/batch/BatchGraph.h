// The batch mode's --graph quality|error|size FILE.png: the graph of that kind for the
// whole range of colours, drawn by the program's graph code and written as a PNG file.
#pragma once
#include <cstdint>

struct Document;

struct BatchGraphOption {
  uint8_t kind;      // 0 when not asked for; else 1 quality, 2 maximum error, 3 file size
  const char* path;  // points into argv
};

// At argv[*i] == "--graph": reads the kind and the file, moving *i past them. False with a
// one-line problem (JAlloc'd) when either is missing or the kind is not known.
bool BatchParseGraph(int argc, char** argv, int* i, BatchGraphOption* option, char** problem);
// Draws the graph for the document's settings (starting the toolkit without a display
// when it is not running) and writes the file. False with a one-line problem.
bool BatchWriteGraph(Document* document, const BatchGraphOption* option, char** problem);
