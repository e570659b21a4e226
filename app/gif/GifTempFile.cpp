#include "app/gif/GifTempFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "jindep/memory.h"

namespace {

constexpr size_t kBufferSize = 1 << 16;

bool WriteAll(GifTempFile* f, const uint8_t* bytes, size_t count) {
  while (count > 0) {
    ssize_t n = write(f->fd, bytes, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      f->failed = true;
      if (!f->error) f->error = n < 0 ? errno : EIO;
      return false;
    }
    bytes += n;
    count -= static_cast<size_t>(n);
  }
  return true;
}

bool FlushBuffer(GifTempFile* f) {
  bool ok = WriteAll(f, f->buffer, f->buffered);
  f->buffered = 0;
  return ok;
}

void Release(GifTempFile* f) {
  JFree(f->buffer);
  JStrFree(f->tempPath);
  JStrFree(f->finalPath);
  f->buffer = nullptr;
  f->tempPath = nullptr;
  f->finalPath = nullptr;
  f->fd = -1;
}

}  // namespace

bool GifTempFileOpen(GifTempFile* file, const char* path) {
  memset(file, 0, sizeof *file);
  file->fd = -1;
  // "<dir>/.<name>.XXXXXX": hidden, in the same directory so the rename stays on one file system.
  const char* slash = strrchr(path, '/');
  size_t dirLength = slash ? static_cast<size_t>(slash - path) + 1 : 0;
  const char* name = path + dirLength;
  if (*name == '\0') {
    file->error = EISDIR;
    return false;
  }
  size_t length = strlen(path) + 9;
  char* temp = static_cast<char*>(JAlloc(length));
  snprintf(temp, length, "%.*s.%s.XXXXXX", static_cast<int>(dirLength), path, name);
  int fd = mkstemp(temp);
  if (fd < 0) {
    file->error = errno;
    JFree(temp);
    return false;
  }
  // mkstemp makes the file private; a saved picture gets the usual permissions.
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  file->fd = fd;
  file->tempPath = temp;
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
  if (ok && fsync(file->fd) != 0) {
    file->error = errno;
    ok = false;
  }
  if (close(file->fd) != 0 && ok) {
    file->error = errno;
    ok = false;
  }
  file->fd = -1;
  if (ok && rename(file->tempPath, file->finalPath) != 0) {
    file->error = errno;
    ok = false;
  }
  if (!ok) unlink(file->tempPath);
  Release(file);
  return ok;
}

void GifTempFileDiscard(GifTempFile* file) {
  if (file->fd >= 0) close(file->fd);
  if (file->tempPath) unlink(file->tempPath);
  Release(file);
}
