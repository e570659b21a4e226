// The file a GIF is written through: a temporary file beside the destination,
// renamed over it only once every byte has been written and synced, so a failed
// save never leaves a partial GIF and never harms a file of that name. Writes are
// buffered: the stream arrives in blocks of at most 256 bytes.
#pragma once
#include <cstddef>
#include <cstdint>

struct JFile;
struct JFileSpec;

struct GifTempFile {
  JFile* file;
  JFileSpec* tempSpec;  // owned
  char* finalPath;      // owned
  uint8_t* buffer;      // owned
  size_t buffered;
  bool failed;
  int error;  // errno of the first failure, 0 if none
};

// Creates the temporary file in the destination's directory, with the permissions and
// group of a file it will replace. False (with the
// record's error set) when it cannot be created; nothing is left behind then.
bool GifTempFileOpen(GifTempFile* file, const char* path);
// A GifSinkProc writing into the temporary file.
bool GifTempFileWrite(void* file, const uint8_t* bytes, size_t count);
// Flushes, syncs, closes and renames into place. On any failure the temporary
// file is removed, the destination is left as it was, and false is returned.
bool GifTempFileCommit(GifTempFile* file);
// Closes and removes the temporary file.
void GifTempFileDiscard(GifTempFile* file);
