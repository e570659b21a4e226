// The headless batch mode: reads a picture the way the window does, runs the colour
// pipeline, applies the reduction settings with the limits the controls panel applies,
// and writes the GIF through the same writer as the program, all without windows.
#pragma once
#include <cstdio>

// The whole run. Usage and the report go to `out`, problems and notes to `err`.
// Answers the exit status: 0 when the GIF was written (or help was asked for),
// 1 for bad input, in which case no output file is left behind.
int BatchRun(int argc, char** argv, FILE* out, FILE* err);
