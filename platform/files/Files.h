// Plain POSIX files behind the file services the toolkit uses. Paths are UTF-8 with `/`
// separators. Handles are small integers; kNoFile is never a valid one.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform::files {

using Handle = int;
constexpr Handle kNoFile = -1;

enum Access { kRead = 1, kWrite = 2, kReadWrite = 3 };

bool Exists(const std::string& path);
bool IsDirectory(const std::string& path);
bool IsRegularFile(const std::string& path);

// Creates a new empty file (read and write for the owner and others as the umask
// allows); false if anything is already there or it cannot be made.
bool CreateNew(const std::string& path);
// Opens an existing file; never creates one. For reading only a regular file opens (never
// a folder, device or named pipe, and without waiting for a pipe's writer).
Handle Open(const std::string& path, Access access);
bool Close(Handle file);

// Move up to `wanted` bytes; *done says how many moved. Reading at the end of the file
// is success with 0 bytes.
bool Read(Handle file, void* buffer, uint64_t wanted, uint64_t* done);
bool Write(Handle file, const void* buffer, uint64_t count, uint64_t* done);
bool Seek(Handle file, uint64_t offset);
bool Position(Handle file, uint64_t* offset);
bool Size(Handle file, uint64_t* size);
bool SetEnd(Handle file);  // cuts the file at the current position
bool Flush(Handle file);

bool Delete(const std::string& path);
// Gives `path` the permission bits of `model` and, where the system allows it, its group.
bool CopyMode(const std::string& model, const std::string& path);
bool CreateDirectory(const std::string& path);
bool CurrentDirectory(std::string* path);
bool SetCurrentDirectory(const std::string& path);
std::string HomeDirectory();

struct Entry {
  std::string name;
  bool directory = false;
};
// The directory's entries sorted by name, without "." and ".." and without hidden
// (dot) files; false if it cannot be read.
bool List(const std::string& directory, std::vector<Entry>* entries);

// Where the file system can be entered: "/" and the home directory.
std::vector<std::string> Roots();

// Reads a whole file of at most `maxSize` bytes; false with a reason otherwise.
bool ReadAll(const std::string& path, uint64_t maxSize, std::vector<uint8_t>* data, std::string* reason);

}  // namespace platform::files
