// Saving a document as a GIF file: its current number of colours, passes,
// transparency, interlace and table settings, with the colour table's own tally.
#pragma once
#include <cstdint>

struct Document;

struct GifSaveResult {
  uint64_t bytes;  // size of the file written
  int error;       // errno of the failure, 0 when the file was written
};

// Writes the whole stream under the "Saving File" progress report. The file at
// `path` is replaced only when every byte was written and the file closed; on
// failure it is left as it was and no partial file remains.
bool WriteGifFile(Document* document, const char* path, GifSaveResult* result);
// True while WriteGifFile runs: idle-time size work shares the GIF writer and its byte
// sink and must not run a pass then (the progress window runs events while a file is written).
bool GifWriteRunning();
