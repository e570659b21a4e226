// Standard input and output in place of files, so the batch mode works in a pipe. A
// picture on standard input is spooled to a temporary file first: every reader checks
// the file's size against what its headers claim, and seeks. A GIF for standard output
// is written through the same writer as a file, straight to the stream.
#pragma once
#include <cstdint>
#include <cstdio>

struct Document;

// The name standing for standard input or output.
bool IsStreamName(const char* name);

// Copies `in` to a new temporary file; its path (JAlloc'd) goes to *path. False with a
// one-line problem (JAlloc'd) and nothing left behind.
bool SpoolInput(FILE* in, char** path, char** problem);
// Removes the spooled file and frees the path.
void RemoveSpool(char* path);

// Writes the document's GIF to `out` under the "Saving File" progress report. False with
// errno in *error when the stream refused bytes.
bool WriteGifStream(Document* document, FILE* out, uint64_t* bytes, int* error);
