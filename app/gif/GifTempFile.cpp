#include "app/gif/GifTempFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "jindep/memory.h"
#include "jwin/J_file.h"

namespace {

constexpr size_t kBufferSize = 1 << 16;
constexpr int kNameTries = 100;

void Fail(GifTempFile* f) {
  f->failed = true;
  if (!f->error) f->error = errno ? errno : EIO;
}

bool WriteAll(GifTempFile* f, const uint8_t* bytes, size_t count) {
  uint64_t moved = count;
  errno = 0;
  if (!JFileWrite(f->file, &moved, bytes) || moved != count) {
    Fail(f);
    return false;
  }
  return true;
}

bool FlushBuffer(GifTempFile* f) {
  bool ok = WriteAll(f, f->buffer, f->buffered);
  f->buffered = 0;
  return ok;
}

void Release(GifTempFile* f) {
  if (f->file) JFileClose(f->file);
  JFileSpecFree(f->tempSpec);
  JFree(f->buffer);
  JFree(f->finalPath);
  f->file = nullptr;
  f->tempSpec = nullptr;
  f->buffer = nullptr;
  f->finalPath = nullptr;
}

}  // namespace

bool GifTempFileOpen(GifTempFile* file, const char* path) {
  memset(file, 0, sizeof *file);
  const char* slash = strrchr(path, '/');
  const char* name = slash ? slash + 1 : path;
  if (*name == '\0') {
    file->error = EISDIR;
    return false;
  }
  // ".<name>.<try>.tmp": hidden, and in the destination's directory so that the
  // final rename never crosses file systems. Creation fails when the name exists,
  // so two saves at once take different names.
  size_t dirLength = slash ? static_cast<size_t>(name - path) : 0;
  char* directory = static_cast<char*>(JAlloc(dirLength + 3));
  if (dirLength) {
    memcpy(directory, path, dirLength);
    directory[dirLength] = '\0';
  } else {
    strcpy(directory, "./");
  }
  size_t tempLength = strlen(name) + 20;
  char* tempName = static_cast<char*>(JAlloc(tempLength));
  for (int attempt = 0; attempt < kNameTries && !file->file; ++attempt) {
    snprintf(tempName, tempLength, ".%s.%d.tmp", name, attempt);
    JFileSpec* fileSpec = JFileSpecNew(directory, tempName);
    if (JFileExists(fileSpec)) {
      JFileSpecFree(fileSpec);
      continue;
    }
    errno = 0;
    if (JFileCreate(fileSpec)) {
      file->file = JFileOpen(fileSpec, kJFileWrite);
      if (file->file) {
        file->tempSpec = fileSpec;
        break;
      }
      file->error = errno ? errno : EIO;
      JFileDelete(fileSpec);
      JFileSpecFree(fileSpec);
      break;
    }
    file->error = errno ? errno : EIO;
    JFileSpecFree(fileSpec);
    if (file->error != EEXIST) break;  // only a name taken meanwhile is worth another try
  }
  if (!file->file && !file->error) file->error = EEXIST;
  JFree(tempName);
  JFree(directory);
  if (!file->file) return false;
  // A file that replaces another keeps its permissions (and group where allowed), from
  // the start, so that a private picture is never readable by others meanwhile.
  JFileCopyMode(path, file->tempSpec);
  file->error = 0;
  file->finalPath = JStrDup(path);
  file->buffer = static_cast<uint8_t*>(JAlloc(kBufferSize));
  return true;
}

bool GifTempFileWrite(void* data, const uint8_t* bytes, size_t count) {
  auto* f = static_cast<GifTempFile*>(data);
  if (f->failed) return false;
  if (f->buffered + count > kBufferSize && !FlushBuffer(f)) return false;
  if (count >= kBufferSize) return WriteAll(f, bytes, count);
  memcpy(f->buffer + f->buffered, bytes, count);
  f->buffered += count;
  return true;
}

bool GifTempFileCommit(GifTempFile* file) {
  bool ok = !file->failed && FlushBuffer(file);
  errno = 0;
  if (ok && !JFileFlush(file->file)) {
    Fail(file);
    ok = false;
  }
  JFileClose(file->file);
  file->file = nullptr;
  char* tempPath = JFileSpecFullPathNew(file->tempSpec);
  errno = 0;
  if (ok && rename(tempPath, file->finalPath) != 0) {
    Fail(file);
    ok = false;
  }
  JFree(tempPath);
  if (!ok) JFileDelete(file->tempSpec);
  Release(file);
  return ok;
}

void GifTempFileDiscard(GifTempFile* file) {
  if (file->file) JFileClose(file->file);
  file->file = nullptr;
  if (file->tempSpec) JFileDelete(file->tempSpec);
  Release(file);
}
