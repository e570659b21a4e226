// Pressing Open or Save: the typed name is read as a pattern to list, a directory to
// enter or a file to choose, with the file-name rules and their messages on the way.
// Every message keeps the dialog open with the (possibly corrected) name in the field.
#include <cstring>

#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"
#include "jindep/string_resources.h"
#include "jwin/J_file.h"
#include "jwin/J_filedlg_state.h"

namespace {

JWidget* Field(JFileDialog* d) { return d->parts[kJFileDialogNameField]; }

bool Tell(JFileDialog* d, int16_t title, int16_t text, const char* argument1, const char* argument2, bool question) {
  d->nestedShown = true;
  return JFileDialogMessage(d->window, title, text, argument1, argument2, question);
}

void BadName(JFileDialog* d, const char* name) {
  Tell(d, kStrBadFilenameTitle, kStrBadFilename, name, nullptr, false);
}

// A typed pattern: its directory part (if any) is entered and its last part lists the files.
void Navigate(JFileDialog* d, const char* name) {
  char* directory = nullptr;
  char* pattern = nullptr;
  JFileDialogSplit(name, &directory, &pattern);
  char* path = *directory ? JFileDialogResolve(d->directory, directory) : nullptr;
  if (*directory && (!path || !JPathIsDirectory(path))) {
    BadName(d, name);
  } else {
    if (*pattern) {
      JFree(d->pattern);
      d->pattern = JStrDup(pattern);
    }
    if (path)
      JFileDialogEnter(d, path);
    else
      JFileDialogRefresh(d);
    JFileDialogSetName(d, d->pattern);
  }
  JFree(path);
  JFree(pattern);
  JFree(directory);
}

// The path a name stands for when it can be a file here: its directory must exist and
// its last part must be a real name. Null (with the message shown) otherwise.
char* FilePath(JFileDialog* d, const char* name) {
  char* path = JFileDialogResolve(d->directory, name);
  bool ok = path != nullptr;
  if (ok) {
    char* directory = nullptr;
    char* last = nullptr;
    JFileDialogSplit(path, &directory, &last);
    ok = *last && std::strcmp(last, ".") != 0 && std::strcmp(last, "..") != 0 &&
         JPathIsDirectory(directory);
    JFree(directory);
    JFree(last);
  }
  if (ok) return path;
  JFree(path);
  BadName(d, name);
  return nullptr;
}

// Enters the directory a name designates; answers whether it was one.
bool EnteredDirectory(JFileDialog* d, const char* name) {
  char* path = JFileDialogResolve(d->directory, name);
  const bool isDirectory = path && JPathIsDirectory(path);
  if (isDirectory) {
    JFileDialogEnter(d, path);
    JFileDialogSetName(d, d->pattern);
  }
  JFree(path);
  return isDirectory;
}

void Choose(JFileDialog* d, const char* path, bool existed) {
  char* directory = nullptr;
  char* name = nullptr;
  JFileDialogSplit(path, &directory, &name);
  d->result = JFileSpecNew(directory, name);
  d->existed = existed;
  JFree(directory);
  JFree(name);
  JFileDialogClose(d);
}

void PressOpen(JFileDialog* d, const char* name) {
  if (EnteredDirectory(d, name)) return;
  char* path = FilePath(d, name);
  if (!path) return;
  if (JPathExists(path))
    Choose(d, path, true);
  else
    Tell(d, kStrNoSuchFileTitle, kStrNoSuchFile, name, nullptr, false);
  JFree(path);
}

void PressSave(JFileDialog* d, const char* name) {
  JSaveNameCheck check = JFileCheckSaveName(name, d->rows, d->count, d->selected);
  if (check.titleString) {
    if (check.outcome == kJSaveNameTypeChanged) JFileDialogSelectType(d, check.selected);
    Tell(d, check.titleString, check.textString, check.argument1, check.argument2, false);
    JFileDialogSetName(d, check.name);
    JSaveNameCheckFree(&check);
    return;
  }
  if (!EnteredDirectory(d, check.name)) {
    if (char* path = FilePath(d, check.name)) {
      // Any file already there is asked about, whether or not it can be written: a file
      // that cannot be must not be taken for a new one.
      const bool existed = JPathExists(path);
      if (!existed || Tell(d, kStrFileExistsTitle, kStrFileExists, check.name, nullptr, true)) Choose(d, path, existed);
      JFree(path);
    }
  }
  JSaveNameCheckFree(&check);
}

}  // namespace

void JFileDialogPressOk(JFileDialog* d) {
  char* typed = JStrDup(JGetFieldText(Field(d)));
  if (JFileDialogNameTooLong(typed)) {
    BadName(d, typed);
  } else {
    bool isPattern = false;
    char* name = JFileDialogName(typed, d->pattern, &isPattern);
    if (isPattern)
      Navigate(d, name);
    else if (d->saving)
      PressSave(d, name);
    else
      PressOpen(d, name);
    JFree(name);
  }
  JFree(typed);
  if (d->nestedShown && !(d->window->state & kJWindowClosed)) {
    d->nestedShown = false;
    JFileDialogNotify(d->window, nullptr);
  }
}
