// Typed names as paths: resolved against the shown directory and checked against what
// the file system here accepts, before anything is looked up.
#include <cstring>

#include "jindep/memory.h"
#include "jwin/J_filedlg_state.h"

namespace {

// The file system's limits: one part of a path, and a whole path with its terminator.
constexpr size_t kNameMax = 255;
constexpr size_t kPathMax = 4096;
// The name field reads at most this many characters.
constexpr size_t kFieldMax = 254;

}  // namespace

char* JFileDialogResolve(const char* directory, const char* name) {
  const size_t dn = name[0] == '/' ? 0 : std::strlen(directory);
  const size_t nn = std::strlen(name);
  if (dn + nn + 1 >= kPathMax) return nullptr;
  // The result is never longer than "/" + the joined text.
  char* out = static_cast<char*>(JAlloc(dn + nn + 2));
  size_t length = 0;
  char* joined = static_cast<char*>(JAlloc(dn + nn + 2));
  std::memcpy(joined, directory, dn);
  joined[dn] = '/';
  std::memcpy(joined + dn + 1, name, nn + 1);

  bool ok = true;
  for (const char* p = joined; *p && ok;) {
    while (*p == '/') ++p;
    const char* end = p;
    while (*end && *end != '/') ++end;
    const size_t part = static_cast<size_t>(end - p);
    for (const char* c = p; c < end; ++c)
      if (static_cast<unsigned char>(*c) < 0x20 || *c == 0x7F) ok = false;
    if (part > kNameMax) ok = false;
    if (part == 0 || (part == 1 && p[0] == '.')) {
      // nothing: an empty part or "."
    } else if (part == 2 && p[0] == '.' && p[1] == '.') {
      while (length > 0 && out[length - 1] != '/') --length;
      if (length > 0) --length;  // the '/' before the dropped part
    } else {
      out[length++] = '/';
      std::memcpy(out + length, p, part);
      length += part;
    }
    p = end;
  }
  JFree(joined);
  if (length == 0) out[length++] = '/';
  out[length] = '\0';
  if (!ok) {
    JFree(out);
    return nullptr;
  }
  return out;
}

bool JFileDialogNameTooLong(const char* typed) {
  size_t characters = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(typed); *p; ++p)
    if ((*p & 0xC0) != 0x80) ++characters;  // continuation bytes belong to the character before
  return characters > kFieldMax;
}

void JFileDialogSplit(const char* path, char** directory, char** name) {
  const char* slash = std::strrchr(path, '/');
  const size_t dn = slash ? static_cast<size_t>(slash - path) + 1 : 0;
  *directory = static_cast<char*>(JAlloc(dn + 1));
  std::memcpy(*directory, path, dn);
  (*directory)[dn] = '\0';
  *name = JStrDup(path + dn);
}
