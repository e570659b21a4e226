#include "jwin/J_file.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "jindep/debug.h"
#include "jindep/memory.h"
#include "jindep/string_resources.h"
#include "platform/files/Files.h"

namespace {

JFileTypeRow gRows[kJFileTypeRows];
const char kSource[] = "jwin/J_file";

char* CopyRange(const char* begin, const char* end) {
  const size_t n = static_cast<size_t>(end - begin);
  char* s = static_cast<char*>(JAlloc(n + 1));
  memcpy(s, begin, n);
  s[n] = '\0';
  return s;
}

// Characters from `start` up to the first blank or the end of the line.
char* Word(const char* line, size_t length, size_t start) {
  if (start >= length) return JStrDup("");
  const char* b = line + start;
  const char* e = b;
  while (e < line + length && *e != ' ') ++e;
  return CopyRange(b, e);
}

void FreeRow(JFileTypeRow* row) {
  JFree(row->name);
  JFree(row->extension);
  JFree(row->description);
  *row = JFileTypeRow{};
}

bool EqualIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char x = *a, y = *b;
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return *a == *b;
}

// The table names each type by one extension; files of some types are as often named
// with another spelling, which is taken as that type's own.
const char* OwnExtension(const char* extension) {
  return EqualIgnoringCase(extension, "jpeg") ? "jpg" : extension;
}

const char* TypeName(int16_t row) {
  const JFileTypeRow* r = JFileTypeGetRow(row);
  return r && r->name ? r->name : "";
}

// Concatenation of up to three pieces, the middle one behind a dot when `extension` is set.
char* JoinNew(const char* a, const char* b, const char* extension) {
  const size_t na = strlen(a), nb = strlen(b), ne = extension ? strlen(extension) + 1 : 0;
  char* s = static_cast<char*>(JAlloc(na + nb + ne + 1));
  memcpy(s, a, na);
  memcpy(s + na, b, nb);
  if (extension) {
    s[na + nb] = '.';
    memcpy(s + na + nb + 1, extension, ne - 1);
  }
  s[na + nb + ne] = '\0';
  return s;
}

char* PathNew(const JFileSpec* fileSpec) { return JoinNew(fileSpec->directory, fileSpec->name, fileSpec->extension); }

// Runs a platform call on the file spec's full path.
template <typename F>
auto WithPath(const JFileSpec* fileSpec, F call) {
  char* path = PathNew(fileSpec);
  auto result = call(path);
  JFree(path);
  return result;
}

char* DirectoryWithSlash(const char* directory) {
  const size_t n = strlen(directory);
  if (n > 0 && directory[n - 1] == '/') return JStrDup(directory);
  char* d = static_cast<char*>(JAlloc(n + 2));
  memcpy(d, directory, n);
  d[n] = '/';
  d[n + 1] = '\0';
  return d;
}

void SetNameAndExtension(JFileSpec* fileSpec, const char* fileName) {
  // The last dot splits; a dot in first place belongs to the name (hidden files).
  const char* dot = strrchr(fileName, '.');
  if (dot && dot != fileName) {
    fileSpec->name = CopyRange(fileName, dot);
    fileSpec->extension = JStrDup(dot + 1);
  } else {
    fileSpec->name = JStrDup(fileName);
    fileSpec->extension = nullptr;
  }
  fileSpec->type.row = JFileTypeFromName(fileSpec->extension ? fileSpec->extension : "");
  fileSpec->type.name = JStrDup(TypeName(fileSpec->type.row));
}

}  // namespace

void JFileTypesLoad(JFileTypeTextProc text, void* data) {
  for (int i = 0; i < kJFileTypeRows; ++i) {
    JFileTypeRow* row = &gRows[i];
    FreeRow(row);
    const char* t = text ? text(kJFileTypeFirstString + i, data) : nullptr;
    // The text is taken as read into a 150-character buffer.
    const size_t length = t ? strnlen(t, 149) : 0;
    if (length < 9) {
      row->name = JStrDup("");
      row->extension = JStrDup("");
      row->description = JStrDup("");
      continue;
    }
    row->name = Word(t, length, 0);
    row->extension = Word(t, length, 4);
    row->description = CopyRange(t + 9, t + length);
  }
}

void JFileTypesInit() {
  JFileTypesLoad([](int id, void*) { return JResourceString(static_cast<uint16_t>(id)); }, nullptr);
}

void JFileTypesFree() {
  for (JFileTypeRow& row : gRows) FreeRow(&row);
}

namespace {

// The table loads itself from the resources on first use when nobody loaded it.
void EnsureLoaded() {
  if (!gRows[0].name) JFileTypesInit();
}

}  // namespace

const JFileTypeRow* JFileTypeGetRow(int16_t row) {
  EnsureLoaded();
  return row >= 0 && row < kJFileTypeRows ? &gRows[row] : nullptr;
}

int16_t JFileTypeFromName(const char* name) {
  EnsureLoaded();
  if (!name || !*name) return kJFileTypeData;
  name = OwnExtension(name);
  for (int16_t i = 0; i < kJFileTypeRows; ++i) {
    if (gRows[i].name && *gRows[i].name && EqualIgnoringCase(gRows[i].name, name)) return i;
  }
  return kJFileTypeData;
}

JFileSpec* JFileSpecNew(const char* directory, const char* fileName) {
  JFileSpec* fileSpec = static_cast<JFileSpec*>(JAlloc(sizeof(JFileSpec)));
  fileSpec->directory = DirectoryWithSlash(directory ? directory : "");
  SetNameAndExtension(fileSpec, fileName ? fileName : "");
  return fileSpec;
}

JFileSpec* JFileSpecNewOfType(const char* directory, const char* baseName, int16_t row) {
  JFileSpec* fileSpec = static_cast<JFileSpec*>(JAlloc(sizeof(JFileSpec)));
  fileSpec->directory = DirectoryWithSlash(directory ? directory : "");
  fileSpec->name = JStrDup(baseName ? baseName : "");
  fileSpec->extension = nullptr;
  fileSpec->type.name = nullptr;
  JFileSpecSetType(fileSpec, row);
  return fileSpec;
}

JFileSpec* JFileSpecFromPath(const char* path) {
  const char* slash = path ? strrchr(path, '/') : nullptr;
  if (!slash) return nullptr;
  char* directory = CopyRange(path, slash + 1);
  JFileSpec* fileSpec = JFileSpecNew(directory, slash + 1);
  JFree(directory);
  return fileSpec;
}

JFileSpec* JFileSpecCopy(const JFileSpec* fileSpec) {
  JFileSpec* copy = static_cast<JFileSpec*>(JAlloc(sizeof(JFileSpec)));
  copy->directory = JStrDup(fileSpec->directory);
  copy->name = JStrDup(fileSpec->name);
  copy->extension = fileSpec->extension ? JStrDup(fileSpec->extension) : nullptr;
  copy->type.row = fileSpec->type.row;
  copy->type.name = JStrDup(fileSpec->type.name ? fileSpec->type.name : "");
  return copy;
}

void JFileSpecFree(JFileSpec* fileSpec) {
  if (!fileSpec) return;
  JFree(fileSpec->directory);
  JFree(fileSpec->name);
  JFree(fileSpec->extension);
  JFree(fileSpec->type.name);
  JFree(fileSpec);
}

void JFileSpecSetType(JFileSpec* fileSpec, int16_t row) {
  JFree(fileSpec->extension);
  JFree(fileSpec->type.name);
  fileSpec->type.row = row;
  fileSpec->type.name = JStrDup(TypeName(row));
  fileSpec->extension = *fileSpec->type.name ? JStrDup(fileSpec->type.name) : nullptr;
}

JFileSpec* JFileSpecOfProgram(const char* argv0) {
  char* directory = JFileCurrentDirectoryNew();
  if (!directory) {
    JDebugReport(kSource, __LINE__, "Cant get directory");
    directory = JStrDup("./");
  }
  const char* base = argv0 ? argv0 : "";
  if (const char* slash = strrchr(base, '/')) base = slash + 1;
  const char* end = base;
  while (*end && *end != ' ') ++end;
  char* name = CopyRange(base, end);
  if (char* dot = strrchr(name, '.'); dot && dot != name) *dot = '\0';
  JFileSpec* fileSpec = JFileSpecNewOfType(directory, name, kJFileTypeExe);
  JFree(name);
  JFree(directory);
  return fileSpec;
}

char* JFileSpecFileNameNew(const JFileSpec* fileSpec) { return JoinNew("", fileSpec->name, fileSpec->extension); }

bool JFileSpecFullPath(const JFileSpec* fileSpec, char* buffer, size_t size) {
  char* path = PathNew(fileSpec);
  const size_t n = strlen(path);
  const bool fits = n + 1 <= size;
  if (fits) memcpy(buffer, path, n + 1);
  else if (size > 0) buffer[0] = '\0';
  JFree(path);
  return fits;
}

char* JFileSpecFullPathNew(const JFileSpec* fileSpec) { return PathNew(fileSpec); }

bool JFileExists(const JFileSpec* fileSpec) {
  return WithPath(fileSpec, [](const char* p) { return platform::files::Exists(p); });
}

bool JPathExists(const char* path) { return path && platform::files::Exists(path); }

bool JPathIsDirectory(const char* path) { return path && platform::files::IsDirectory(path); }

bool JFileCreate(const JFileSpec* fileSpec) {
  return WithPath(fileSpec, [](const char* p) { return !platform::files::Exists(p) && platform::files::CreateNew(p); });
}

JFile* JFileOpen(const JFileSpec* fileSpec, uint16_t mode) {
  const auto access = (mode & kJFileReadWrite) == kJFileReadWrite ? platform::files::kReadWrite
                      : (mode & kJFileWrite)                       ? platform::files::kWrite
                                                                   : platform::files::kRead;
  const int handle = WithPath(fileSpec, [access](const char* p) { return platform::files::Open(p, access); });
  if (handle == platform::files::kNoFile) return nullptr;
  JFile* file = static_cast<JFile*>(JAlloc(sizeof(JFile)));
  file->fileSpec = JFileSpecCopy(fileSpec);
  file->handle = handle;
  return file;
}

void JFileClose(JFile* file) {
  if (!file) return;
  if (!platform::files::Close(file->handle)) JAssertFail(kSource, __LINE__);
  JFileSpecFree(file->fileSpec);
  JFree(file);
}

bool JFileDelete(const JFileSpec* fileSpec) {
  return WithPath(fileSpec, [](const char* p) { return platform::files::Delete(p); });
}

bool JFileCopyMode(const char* modelPath, const JFileSpec* fileSpec) {
  return WithPath(fileSpec, [modelPath](const char* p) { return platform::files::CopyMode(modelPath, p); });
}

bool JFileRead(JFile* file, uint64_t* count, void* buffer) {
  uint64_t done = 0;
  const bool ok = platform::files::Read(file->handle, buffer, *count, &done);
  *count = done;
  return ok;
}

bool JFileWrite(JFile* file, uint64_t* count, const void* buffer) {
  uint64_t done = 0;
  const bool ok = platform::files::Write(file->handle, buffer, *count, &done);
  *count = done;
  return ok;
}

bool JFileSetPos(JFile* file, uint64_t offset) { return platform::files::Seek(file->handle, offset); }

uint64_t JFileGetPos(JFile* file) {
  uint64_t offset = 0;
  return platform::files::Position(file->handle, &offset) ? offset : 0;
}

uint64_t JFileSize(JFile* file) {
  uint64_t size = 0;
  return platform::files::Size(file->handle, &size) ? size : 0;
}

bool JFileSetEndOfFile(JFile* file) { return platform::files::SetEnd(file->handle); }
bool JFileFlush(JFile* file) { return platform::files::Flush(file->handle); }

bool JFileCreateDirectory(const char* path) { return platform::files::CreateDirectory(path ? path : ""); }

char* JFileCurrentDirectoryNew() {
  std::string path;  // the platform's own string, copied out at once
  if (!platform::files::CurrentDirectory(&path)) return nullptr;
  return DirectoryWithSlash(path.c_str());
}

// --- File-name rules of the file dialogs ---------------------------------------------------

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool HasWildcard(const char* s) { return strchr(s, '*') || strchr(s, '?'); }

const char* RowExtension(int16_t row) {
  const JFileTypeRow* r = JFileTypeGetRow(row);
  return r && r->extension ? r->extension : "";
}

}  // namespace

const char* JFileNameExtension(const char* name) {
  const char* dot = strrchr(name, '.');
  const char* slash = strrchr(name, '/');
  return dot && (!slash || dot > slash) ? dot : nullptr;
}

bool JFileExtensionMatches(const char* pattern, const char* extension) {
  for (; *pattern && *extension; ++pattern, ++extension) {
    if (*pattern == '*') return true;
    if (*pattern != '?' && Lower(*pattern) != Lower(*extension)) return false;
  }
  return *pattern == *extension || (*pattern == '*' && pattern[1] == '\0');
}

JSaveNameCheck JFileCheckSaveName(const char* name, const int16_t* offered, int count, int selected) {
  JSaveNameCheck check{};
  check.outcome = kJSaveNameAccepted;
  check.selected = selected;
  const char* required = selected >= 0 && selected < count ? RowExtension(offered[selected]) : "";
  const char* typed = JFileNameExtension(name);

  if (!typed) {
    if (HasWildcard(required) || !*required) {
      check.name = JStrDup(name);
      return check;
    }
    check.outcome = kJSaveNameAppended;
    check.name = JoinNew(name, required, nullptr);
    check.titleString = 1;
    check.textString = 2;
    check.argument1 = JStrDup(required);
    return check;
  }
  if (EqualIgnoringCase(typed, required) || (HasWildcard(required) && JFileExtensionMatches(required, typed))) {
    check.name = JStrDup(name);
    return check;
  }
  for (int i = 0; i < count; ++i) {
    if (i == selected || !EqualIgnoringCase(RowExtension(offered[i]), typed)) continue;
    check.outcome = kJSaveNameTypeChanged;
    check.name = JStrDup(name);
    check.selected = i;
    check.titleString = 11;
    check.textString = 12;
    check.argument1 = JStrDup(typed);
    return check;
  }
  check.outcome = kJSaveNameReplaced;
  char* stem = CopyRange(name, typed);
  check.name = JoinNew(stem, required, nullptr);
  JFree(stem);
  check.titleString = 3;
  check.textString = 4;
  check.argument1 = JStrDup(typed);
  check.argument2 = JStrDup(required);
  return check;
}

void JSaveNameCheckFree(JSaveNameCheck* check) {
  JFree(check->name);
  JFree(check->argument1);
  JFree(check->argument2);
  *check = JSaveNameCheck{};
}

// --- Lists and typed names of the file dialogs ---------------------------------------------

bool JFileNameMatches(const char* pattern, const char* name) {
  if (strcmp(pattern, "*.*") == 0) return true;
  // Iterative wildcard match with one backtrack point for the last '*'.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern && (*pattern == '?' || Lower(*pattern) == Lower(*name))) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

namespace {

int CompareNames(const void* a, const void* b) {
  return strcmp(*static_cast<char* const*>(a), *static_cast<char* const*>(b));
}

void Append(JFileList* list, char* name) {
  list->names = static_cast<char**>(JRealloc(list->names, sizeof(char*) * (list->count + 1)));
  list->names[list->count++] = name;
}

// Entries of a directory, each offered to `take`, which answers the name to list or null.
template <typename Take>
JFileList ListEntries(const char* directory, Take take) {
  JFileList list{0, nullptr};
  std::vector<platform::files::Entry> entries;  // the platform's own list, copied out at once
  if (!platform::files::List(directory, &entries)) return list;
  for (const platform::files::Entry& e : entries)
    if (char* name = take(e.name.c_str(), e.directory)) Append(&list, name);
  if (list.count > 1) qsort(list.names, list.count, sizeof(char*), CompareNames);
  return list;
}

}  // namespace

JFileList JFileListDirectories(const char* directory) {
  JFileList list = ListEntries(directory, [](const char* name, bool isDirectory) -> char* {
    if (!isDirectory) return nullptr;
    const size_t n = strlen(name);
    char* bracketed = static_cast<char*>(JAlloc(n + 3));
    bracketed[0] = '[';
    memcpy(bracketed + 1, name, n);
    bracketed[n + 1] = ']';
    bracketed[n + 2] = '\0';
    return bracketed;
  });
  if (strcmp(directory, "/") != 0) {
    Append(&list, nullptr);
    memmove(list.names + 1, list.names, sizeof(char*) * (list.count - 1));
    list.names[0] = JStrDup("[..]");
  }
  return list;
}

JFileList JFileListFiles(const char* directory, const char* pattern) {
  return ListEntries(directory, [pattern](const char* name, bool isDirectory) -> char* {
    if (isDirectory) return nullptr;
    if (JFileNameMatches(pattern, name)) return JStrDup(name);
    // "*.jpg" lists "x.jpeg" too: the name is matched with its type's own extension.
    const char* dot = JFileNameExtension(name);
    if (!dot || OwnExtension(dot + 1) == dot + 1) return nullptr;
    char* stem = CopyRange(name, dot + 1);
    char* own = JoinNew(stem, OwnExtension(dot + 1), nullptr);
    const bool matches = JFileNameMatches(pattern, own);
    JFree(stem);
    JFree(own);
    return matches ? JStrDup(name) : nullptr;
  });
}

JFileList JFileListRoots() {
  JFileList list{0, nullptr};
  for (const std::string& root : platform::files::Roots()) Append(&list, DirectoryWithSlash(root.c_str()));
  return list;
}

void JFileListFree(JFileList* list) {
  for (int i = 0; i < list->count; ++i) JFree(list->names[i]);
  JFree(list->names);
  *list = JFileList{0, nullptr};
}

char* JFileDialogName(const char* typed, const char* currentPattern, bool* isPattern) {
  const size_t n = strlen(typed);
  char* name;
  if (n == 0) name = JStrDup("*.*");
  else if (n >= 2 && strcmp(typed + n - 2, "..") == 0) name = JoinNew(typed, "/", nullptr);
  else name = JStrDup(typed);
  const size_t m = strlen(name);
  if (m > 0 && name[m - 1] == '/') {
    char* withPattern = JoinNew(name, currentPattern, nullptr);
    JFree(name);
    name = withPattern;
  }
  *isPattern = HasWildcard(name);
  return name;
}
