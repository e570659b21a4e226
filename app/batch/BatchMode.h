// The headless batch mode: reads a picture the way the window does, runs the colour
// pipeline, applies the reduction settings with the limits the controls panel applies,
// picks the number of colours (given, by targets, or 256), and writes the GIF through the
// same writer as the program, all without windows.
#pragma once
#include <cstdio>

struct BatchStreams {
  FILE* in;   // the picture when IN is -
  FILE* out;  // usage, the report, and the GIF when OUT is -
  FILE* err;  // the one line of a failure, notes, the progress line
};

// The whole run. Answers the exit status: 0 when the GIF was written (or help was asked
// for), 1 otherwise, after exactly one line on `err` and with no output file left behind.
int BatchRun(int argc, char** argv, const BatchStreams& streams);
