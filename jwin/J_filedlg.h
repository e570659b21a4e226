// The toolkit's own open and save dialogs: a name field, a file-type list, lists of the
// places to start from, of the directories and of the files in the shown directory, and
// (when saving) a Create Directory button. Each runs a modal loop until the user chooses
// a file or cancels, applies the file-name rules of J_file and shows their messages, and
// answers the chosen file spec (JFileSpecFree it) or null when cancelled. Text the dialog
// puts into the name field (the pattern at first, a clicked file's name, a corrected
// name) stands selected: the first character typed replaces it.
#pragma once
#include <cstdint>

#include "jwin/J_file.h"

struct JWindow;

// `rows` (count entries) are the offered types; null offers rows 0 to 17. The dialog shows
// the initial file's directory (the directory of the previous dialog when null) with its
// type selected when that type is offered.
JFileSpec* JFileOpenDialog(JWindow* parent, const int16_t* rows, int count, const JFileSpec* initial);

// The initial file's type is the only type offered; the dialog shows its directory.
// *existed (may be null) tells whether a file of the chosen name existed before.
JFileSpec* JFileSaveDialog(JWindow* parent, const JFileSpec* initial, bool* existed);

struct JFileChoice {
  int16_t row;        // file-type row
  const char* label;  // what the type list shows for it
};

struct JFileSaveRequest {
  const char* prompt;          // shown above the type list
  const JFileChoice* choices;  // the offered types
  int count;
  int selected;  // in: the choice selected at first; out: the choice of the chosen name
  bool existed;  // out: a file of the chosen name existed before
};

// A save dialog offering several types under labels of the caller's. The dialog shows
// the initial file's directory (the previous dialog's when null).
JFileSpec* JFileSaveDialogWithChoice(JWindow* parent, JFileSaveRequest* request, const JFileSpec* initial);

// --- Watching the dialogs (scripting and tests) --------------------------------------------

// Called whenever a window of the file dialogs starts waiting for the user: a dialog (or
// its Create Directory dialog) once shown and again after each message or nested dialog
// it showed, and each message window with its text (null for the dialogs). Null stops it.
typedef void (*JFileDialogWatcher)(void* data, JWindow* window, const char* message);
void JSetFileDialogWatcher(JFileDialogWatcher watcher, void* data);

struct JWidget;
enum JFileDialogPart {
  kJFileDialogNameField,
  kJFileDialogTypeList,
  kJFileDialogDirectoryText,  // the shown directory beside "Directory:"
  kJFileDialogPlaceList,
  kJFileDialogDirectoryList,
  kJFileDialogFileList,
  kJFileDialogOkButton,  // Open or Save
  kJFileDialogCancelButton,
  kJFileDialogCreateButton,  // save dialogs only
};
// A part of a file dialog window; null for another window or a part it lacks.
JWidget* JFileDialogWidget(JWindow* dialog, JFileDialogPart part);
// The directory a file dialog window shows (ends with '/'); null for another window.
const char* JFileDialogDirectory(JWindow* dialog);
