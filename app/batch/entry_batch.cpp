// tintwell-batch: the program's reduction and GIF writer from the command line.
#include <cstdio>

#include "app/batch/BatchMode.h"

int main(int argc, char** argv) { return BatchRun(argc, argv, BatchStreams{stdin, stdout, stderr}); }
