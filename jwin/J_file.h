// Files named by file specifications: a directory, a base name and a file type from
// the toolkit's table of known types. On this platform directories are UTF-8 paths
// ending in `/` (rather than drive letters and `\`), and a file spec keeps the
// file's exact name: the base name and the extension as written, whatever their case.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int kJFileTypeRows = 23;
constexpr int kJFileTypeFirstString = 200;

// Rows of the table the program names.
enum : int16_t {
  kJFileTypeText = 0,
  kJFileTypeGif = 2,
  kJFileTypeJpeg = 3,
  kJFileTypePict = 5,
  kJFileTypePng = 7,
  kJFileTypeExe = 9,
  kJFileTypeData = 12,
  kJFileTypeMetafile = 13,
  kJFileTypeAll = 16,
  kJFileTypeBitmap = 17,
};

struct JFileTypeRow {
  char* name;         // "gif"; empty for a missing row
  char* extension;    // ".gif"
  char* description;  // "GIF Files (.GIF)"
};

// Loads the table from the texts of strings 200 to 222. `text` answers a string's text,
// or null when it is missing. Rows already loaded are replaced.
typedef const char* (*JFileTypeTextProc)(int stringId, void* data);
void JFileTypesLoad(JFileTypeTextProc text, void* data);
// Loads the table from the program's string resources; the first use of the table does
// this by itself when nothing was loaded.
void JFileTypesInit();
void JFileTypesFree();
const JFileTypeRow* JFileTypeGetRow(int16_t row);  // null outside the table

// The row whose type name equals `name` ignoring case; an empty name or no match
// gives the data-file row (12).
int16_t JFileTypeFromName(const char* name);

struct JFileType {
  int16_t row;
  char* name;  // owned copy of the row's type name
};

struct JFileSpec {
  char* directory;  // ends with '/'
  char* name;       // base name as written, without the extension
  char* extension;  // extension as written, without its dot; null when the name has no dot
  JFileType type;
};

// A file spec of a name in a directory. The name is split at its last dot (a leading dot
// belongs to the name); the type comes from the extension. The directory gets a
// trailing '/' when it lacks one.
JFileSpec* JFileSpecNew(const char* directory, const char* fileName);
// A file spec for a new file of a type: the extension is the row's type name.
JFileSpec* JFileSpecNewOfType(const char* directory, const char* baseName, int16_t row);
// Null when the path has no '/'.
JFileSpec* JFileSpecFromPath(const char* path);
JFileSpec* JFileSpecCopy(const JFileSpec* fileSpec);
void JFileSpecFree(JFileSpec* fileSpec);
// Replaces the type and the extension (with the row's type name).
void JFileSpecSetType(JFileSpec* fileSpec, int16_t row);
// The file spec of this program: the current directory and the base name of `argv0`.
JFileSpec* JFileSpecOfProgram(const char* argv0);

// The exact file name: base name, then a dot and the extension when there is one.
char* JFileSpecFileNameNew(const JFileSpec* fileSpec);  // JFree it
// Directory plus file name. The buffer form writes nothing past `size` bytes and answers
// false when the path does not fit; the allocating form always succeeds.
bool JFileSpecFullPath(const JFileSpec* fileSpec, char* buffer, size_t size);
char* JFileSpecFullPathNew(const JFileSpec* fileSpec);  // JFree it

// Access words for JFileOpen.
enum : uint16_t { kJFileRead = 1, kJFileWrite = 2, kJFileReadWrite = 3 };

struct JFile {
  JFileSpec* fileSpec;  // owned copy
  int handle;
};

bool JFileExists(const JFileSpec* fileSpec);
// The same for a full path, and whether the path names a directory.
bool JPathExists(const char* path);
bool JPathIsDirectory(const char* path);
// False when the file exists; otherwise creates it empty and answers whether it could.
bool JFileCreate(const JFileSpec* fileSpec);
// Null when the file cannot be opened; never creates a file.
JFile* JFileOpen(const JFileSpec* fileSpec, uint16_t mode);
void JFileClose(JFile* file);
// False when the file did not exist or could not be deleted.
bool JFileDelete(const JFileSpec* fileSpec);
// Gives the file the permission bits (and, where allowed, the group) of the file at
// `modelPath`, as a file that replaces it should have; false when either is missing.
bool JFileCopyMode(const char* modelPath, const JFileSpec* fileSpec);
// *count: in, the bytes wanted; out, the bytes moved.
bool JFileRead(JFile* file, uint64_t* count, void* buffer);
bool JFileWrite(JFile* file, uint64_t* count, const void* buffer);
bool JFileSetPos(JFile* file, uint64_t offset);
uint64_t JFileGetPos(JFile* file);
uint64_t JFileSize(JFile* file);
bool JFileSetEndOfFile(JFile* file);
bool JFileFlush(JFile* file);

bool JFileCreateDirectory(const char* path);
// The current directory with a trailing '/', JAlloc'd; null when it cannot be read.
char* JFileCurrentDirectoryNew();

// --- File-name rules of the file dialogs ---------------------------------------------------

// The extension of a name: from its last '.' that comes after its last '/' (the dot
// included); null when there is none.
const char* JFileNameExtension(const char* name);
// The required extension as a pattern against a typed one: '*' matches the rest, '?' any
// one character, others equal ignoring case; both must end together.
bool JFileExtensionMatches(const char* pattern, const char* extension);

enum JSaveNameOutcome {
  kJSaveNameAccepted,       // use the name as it is
  kJSaveNameAppended,       // it had no extension: the required one was appended
  kJSaveNameTypeChanged,    // its extension belongs to another offered type, now selected
  kJSaveNameReplaced,       // its extension belongs to no offered type and was replaced
};

struct JSaveNameCheck {
  JSaveNameOutcome outcome;
  char* name;          // the name to use or to put back into the field (JFree'd by JSaveNameCheckFree)
  int selected;        // index into the offered rows after the check
  int16_t titleString; // message strings (title, text), 0 when there is no message
  int16_t textString;
  char* argument1;     // the texts the message shows: the typed or the required extension,
  char* argument2;     // then the required one; null when not used
};

// Reconciles a typed name with the selected file type (offered[selected]); the other
// offered types are where a mismatched extension may belong. A name with no extension
// under a type whose extension is a pattern ("All Files") is taken as it is.
JSaveNameCheck JFileCheckSaveName(const char* name, const int16_t* offered, int count, int selected);
void JSaveNameCheckFree(JSaveNameCheck* check);

// --- Lists and typed names of the file dialogs ---------------------------------------------

struct JFileList {
  int count;
  char** names;  // each JAlloc'd; freed with the list
};

// '*' matches any run of characters, '?' any one; letters match ignoring case. "*.*"
// matches every name, with a dot or without.
bool JFileNameMatches(const char* pattern, const char* name);
// The subdirectories of `directory` as "[name]", sorted, with "[..]" first unless it is
// the root; hidden ones are left out.
JFileList JFileListDirectories(const char* directory);
// The files of `directory` whose names match `pattern`, sorted; directories and hidden
// files are left out.
JFileList JFileListFiles(const char* directory, const char* pattern);
// Where the file system can be entered: "/" and the home directory (each ending in '/').
JFileList JFileListRoots();
void JFileListFree(JFileList* list);

// The dialogs' reading of a typed name: an empty name means "*.*"; a name ending in ".."
// gets a '/'; a name ending in '/' gets the current pattern. *isPattern tells whether the
// result holds '*' or '?' (the lists are then refreshed, nothing is opened). JFree it.
char* JFileDialogName(const char* typed, const char* currentPattern, bool* isPattern);
