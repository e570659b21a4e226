#include "platform/files/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace platform::files {

namespace {

// One system call moves at most this much; larger requests loop.
constexpr uint64_t kChunk = uint64_t{1} << 30;

}  // namespace

bool Exists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool CreateNew(const std::string& path) {
  if (path.empty()) return false;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  return ::close(fd) == 0;
}

Handle Open(const std::string& path, Access access) {
  if (path.empty()) return kNoFile;
  const int flags = access == kReadWrite ? O_RDWR : access == kWrite ? O_WRONLY : O_RDONLY;
  // Opening a named pipe for reading waits for a writer: it is opened without waiting,
  // and only a regular file is read at all (a folder, device or pipe never ends or
  // never starts).
  const int wait = access == kRead ? O_NONBLOCK : 0;
  int fd;
  do {
    fd = ::open(path.c_str(), flags | wait | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return kNoFile;
  struct stat st;
  const bool refused = ::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) || (access == kRead && !S_ISREG(st.st_mode));
  if (refused || (wait && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)) {
    ::close(fd);
    errno = refused ? EINVAL : errno;
    return kNoFile;
  }
  return fd;
}

bool Close(Handle file) { return file >= 0 && ::close(file) == 0; }

bool Read(Handle file, void* buffer, uint64_t wanted, uint64_t* done) {
  uint64_t total = 0;
  bool ok = file >= 0;
  while (ok && total < wanted) {
    const ssize_t n = ::read(file, static_cast<char*>(buffer) + total, std::min(wanted - total, kChunk));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    total += static_cast<uint64_t>(n);
  }
  if (done) *done = total;
  return ok;
}

bool Write(Handle file, const void* buffer, uint64_t count, uint64_t* done) {
  uint64_t total = 0;
  bool ok = file >= 0;
  while (ok && total < count) {
    const ssize_t n =
        ::write(file, static_cast<const char*>(buffer) + total, std::min(count - total, kChunk));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    total += static_cast<uint64_t>(n);
  }
  if (done) *done = total;
  return ok;
}

bool Seek(Handle file, uint64_t offset) {
  return file >= 0 && offset <= static_cast<uint64_t>(INT64_MAX) &&
         ::lseek(file, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool Position(Handle file, uint64_t* offset) {
  const off_t at = file >= 0 ? ::lseek(file, 0, SEEK_CUR) : -1;
  if (at < 0) return false;
  *offset = static_cast<uint64_t>(at);
  return true;
}

bool Size(Handle file, uint64_t* size) {
  struct stat st;
  if (file < 0 || ::fstat(file, &st) != 0) return false;
  *size = static_cast<uint64_t>(st.st_size);
  return true;
}

bool SetEnd(Handle file) {
  const off_t at = file >= 0 ? ::lseek(file, 0, SEEK_CUR) : -1;
  return at >= 0 && ::ftruncate(file, at) == 0;
}

bool Flush(Handle file) { return file >= 0 && ::fsync(file) == 0; }

bool Delete(const std::string& path) { return !path.empty() && ::unlink(path.c_str()) == 0; }

bool CopyMode(const std::string& model, const std::string& path) {
  struct stat st;
  if (::stat(model.c_str(), &st) != 0) return false;
  // The group first, where allowed (a file we may not give that group keeps ours); a change
  // of group may clear the set-group-id bit, which the mode then restores.
  [[maybe_unused]] const int grouped = ::chown(path.c_str(), static_cast<uid_t>(-1), st.st_gid);
  return ::chmod(path.c_str(), st.st_mode & 07777) == 0;
}

bool CreateDirectory(const std::string& path) {
  return !path.empty() && ::mkdir(path.c_str(), 0777) == 0;
}

bool CurrentDirectory(std::string* path) {
  std::vector<char> buffer(PATH_MAX + 1);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return false;
    buffer.resize(buffer.size() * 2);
  }
  *path = buffer.data();
  return true;
}

bool SetCurrentDirectory(const std::string& path) { return !path.empty() && ::chdir(path.c_str()) == 0; }

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

bool List(const std::string& directory, std::vector<Entry>* entries) {
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (!dir) return false;
  entries->clear();
  while (const dirent* e = ::readdir(dir)) {
    if (e->d_name[0] == '.') continue;  // ".", ".." and hidden files
    Entry entry;
    entry.name = e->d_name;
    if (e->d_type == DT_DIR) {
      entry.directory = true;
    } else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      std::string full = directory;
      if (full.empty() || full.back() != '/') full += '/';
      entry.directory = IsDirectory(full + entry.name);
    }
    entries->push_back(std::move(entry));
  }
  ::closedir(dir);
  std::sort(entries->begin(), entries->end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return true;
}

std::vector<std::string> Roots() {
  std::vector<std::string> roots{"/"};
  std::string home = HomeDirectory();
  if (home != "/" && IsDirectory(home)) roots.push_back(home);
  return roots;
}

bool ReadAll(const std::string& path, uint64_t maxSize, std::vector<uint8_t>* data, std::string* reason) {
  const Handle f = Open(path, kRead);
  if (f == kNoFile) {
    if (reason) *reason = "cannot open " + path + ": " + std::strerror(errno ? errno : ENOENT);
    return false;
  }
  uint64_t size = 0;
  bool ok = Size(f, &size);
  if (ok && size > maxSize) {
    if (reason) *reason = path + " is too large";
    ::close(f);
    return false;
  }
  uint64_t done = 0;
  if (ok) {
    data->resize(size);
    ok = Read(f, data->data(), size, &done) && done == size;
  }
  ::close(f);
  if (!ok && reason) *reason = "cannot read " + path;
  return ok;
}

}  // namespace platform::files
