// The three ways into the open and save dialogs: the offered types, where the dialog
// starts, the modal run, and the directory the next dialog starts in.
#include <cstring>

#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"
#include "jindep/string_resources.h"
#include "jwin/J_alert.h"
#include "jwin/J_event.h"
#include "jwin/J_file.h"
#include "jwin/J_filedlg_state.h"

namespace {

// The longest path the shown directory is kept for between dialogs, with its terminator.
constexpr size_t kRememberedMax = 4096;

// Where the next dialog starts when its caller names no directory.
char remembered[kRememberedMax];

void Remember(const char* directory) {
  const size_t n = std::strlen(directory);
  if (n < kRememberedMax) std::memcpy(remembered, directory, n + 1);
}

// The directory a dialog starts in: the caller's, the last dialog's, or the current one.
// A directory that is gone by now is passed over.
char* StartDirectory(const JFileSpec* initial) {
  char* current = JFileCurrentDirectoryNew();
  if (!current) current = JStrDup("/");
  if (initial && initial->directory && *initial->directory) {
    char* resolved = JFileDialogResolve(current, initial->directory);
    if (resolved && JPathIsDirectory(resolved)) {
      JFree(current);
      return resolved;
    }
    JFree(resolved);
  }
  if (remembered[0] && JPathIsDirectory(remembered)) {
    JFree(current);
    return JStrDup(remembered);
  }
  return current;
}

// The dialog's offered types: rows (with their descriptions) or the caller's choices.
JFileDialog* NewDialog(bool saving, const int16_t* rows, const char* const* labels, int count, int selected) {
  JFileDialog* d = static_cast<JFileDialog*>(JAlloc(sizeof(JFileDialog)));
  std::memset(d, 0, sizeof(JFileDialog));
  d->saving = saving;
  d->rows = static_cast<int16_t*>(JAlloc(sizeof(int16_t) * static_cast<size_t>(count > 0 ? count : 1)));
  d->labels = static_cast<char**>(JAlloc(sizeof(char*) * static_cast<size_t>(count > 0 ? count : 1)));
  for (int i = 0; i < count; ++i) {
    d->rows[i] = rows[i];
    const JFileTypeRow* row = JFileTypeGetRow(rows[i]);
    d->labels[i] = JStrDup(labels ? labels[i] : row && row->description ? row->description : "");
  }
  d->count = count;
  d->selected = selected >= 0 && selected < count ? selected : 0;
  return d;
}

void FreeDialog(JFileDialog* d) {
  for (int i = 0; i < d->count; ++i) JFree(d->labels[i]);
  JFree(d->labels);
  JFree(d->rows);
  JFree(d->directory);
  JFree(d->pattern);
  JFileListFree(&d->places);
  JFileSpecFree(d->result);
  JFree(d);
}

// Shows the dialog, runs it, and answers its result (taken out of the record).
JFileSpec* Run(JFileDialog* d, JWindow* parent, const char* title, const char* typeLabel, const JFileSpec* initial,
               bool* existed) {
  if (!JFileDialogBuild(d, parent, title, typeLabel)) return nullptr;
  JFileDialogSetName(d, d->pattern);
  char* start = StartDirectory(initial);
  JFileDialogEnter(d, start);
  JFree(start);
  JSetFocus(d->window, d->parts[kJFileDialogNameField]);
  JShowAndActivateWindow(d->window);
  JProcessPendingPaint();
  JFileDialogNotify(d->window, nullptr);
  JRunModal(d->window);
  Remember(d->directory);
  JFileSpec* result = d->result;
  d->result = nullptr;
  if (existed) *existed = result && d->existed;
  return result;
}

}  // namespace

JFileSpec* JFileOpenDialog(JWindow* parent, const int16_t* rows, int count, const JFileSpec* initial) {
  // Without a list every type up to the bitmaps is offered, except the table's empty rows.
  int16_t all[kJFileTypeBitmap + 1];
  if (!rows) {
    count = 0;
    for (int16_t r = 0; r <= kJFileTypeBitmap; ++r) {
      const JFileTypeRow* row = JFileTypeGetRow(r);
      if (row && row->description && *row->description) all[count++] = r;
    }
    rows = all;
  }
  if (count <= 0) return nullptr;
  int selected = 0;
  for (int i = 0; i < count; ++i)
    if (initial && rows[i] == initial->type.row) selected = i;
  JFileDialog* d = NewDialog(false, rows, nullptr, count, selected);
  JFileSpec* result =
      Run(d, parent, JFileDialogText(kStrOpenButton), JFileDialogText(kStrFileTypeLabel), initial, nullptr);
  FreeDialog(d);
  return result;
}

JFileSpec* JFileSaveDialog(JWindow* parent, const JFileSpec* initial, bool* existed) {
  const int16_t row = initial ? initial->type.row : static_cast<int16_t>(kJFileTypeAll);
  JFileDialog* d = NewDialog(true, &row, nullptr, 1, 0);
  JFileSpec* result =
      Run(d, parent, JFileDialogText(kStrSaveAsTitle), JFileDialogText(kStrFileTypeLabel), initial, existed);
  FreeDialog(d);
  return result;
}

JFileSpec* JFileSaveDialogWithChoice(JWindow* parent, JFileSaveRequest* request, const JFileSpec* initial) {
  if (!request || request->count <= 0 || !request->choices) return nullptr;
  const int count = request->count;
  int16_t* rows = static_cast<int16_t*>(JAlloc(sizeof(int16_t) * static_cast<size_t>(count)));
  const char** labels = static_cast<const char**>(JAlloc(sizeof(char*) * static_cast<size_t>(count)));
  for (int i = 0; i < count; ++i) {
    rows[i] = request->choices[i].row;
    labels[i] = request->choices[i].label ? request->choices[i].label : "";
  }
  JFileDialog* d = NewDialog(true, rows, labels, count, request->selected);
  JFree(labels);
  JFree(rows);
  bool existed = false;
  const char* typeLabel = request->prompt ? request->prompt : JFileDialogText(kStrFileTypeLabel);
  JFileSpec* result = Run(d, parent, JFileDialogText(kStrSaveAsTitle), typeLabel, initial, &existed);
  if (result) {
    request->selected = d->selected;
    request->existed = existed;
  }
  FreeDialog(d);
  return result;
}

