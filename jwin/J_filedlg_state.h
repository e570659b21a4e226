// What the file dialogs' sources share: the dialog record, the window that shows it, and
// the helpers for paths and messages.
#pragma once
#include <cstddef>
#include <cstdint>

#include "jwin/J_file.h"
#include "jwin/J_filedlg.h"

struct JWidget;
struct JWindow;

struct JFileDialog {
  JWindow* window;
  bool saving;
  int16_t* rows;  // the offered file-type rows (owned copy)
  char** labels;  // what the type list shows for each (owned copies)
  int count;
  int selected;     // the offered type whose extension is required
  char* directory;  // the shown directory, ending in '/'
  char* pattern;    // what the file list shows, "*.gif" at first
  JFileList places;
  JWidget* parts[kJFileDialogCreateButton + 1];
  bool nestedShown;  // a message or nested dialog was shown since the last wait
  JFileSpec* result;
  bool existed;
};

// The dialog a window shows, or null.
JFileDialog* JFileDialogOf(JWindow* window);

// Makes the dialog's window with its parts (hidden), the type and place lists filled and
// the pattern of the selected type; false when no window can be made.
bool JFileDialogBuild(JFileDialog* d, JWindow* parent, const char* title, const char* typeLabel);

// Shows another directory: lists, text and the remembered directory follow.
void JFileDialogEnter(JFileDialog* d, const char* directory);
// Lists the shown directory again for the current pattern.
void JFileDialogRefresh(JFileDialog* d);
// Makes another offered type the required one; the file list follows it.
void JFileDialogSelectType(JFileDialog* d, int index);
// Puts a name or pattern into the name field as a selected text: the first character
// typed replaces it, and Backspace clears it.
void JFileDialogSetName(JFileDialog* d, const char* text);
// Ends the modal loop; the result (if any) is already in the record.
void JFileDialogClose(JFileDialog* d);

// The Open or Save button (or Return): the typed name is read and acted on.
void JFileDialogPressOk(JFileDialog* d);
// The Create Directory button: its dialog, then the lists again.
void JFileDialogCreateDirectory(JFileDialog* d);

// A string resource's text ("" when it is missing).
const char* JFileDialogText(uint16_t id);
// Tells the watcher (if any) that a window waits for the user.
void JFileDialogNotify(JWindow* window, const char* message);
// A modal message titled and composed from string resources; a question answers Yes
// (true) or No, a plain message always answers true.
bool JFileDialogMessage(JWindow* parent, int16_t titleString, int16_t textString, const char* argument1,
                        const char* argument2, bool question);

// Paths typed into the dialogs, resolved against the shown directory: a name starting
// with '/' is a full path. "." and ".." are followed and repeated '/' dropped; the
// result has no trailing '/' (except the root). Null when it cannot name a file here:
// a part longer than 255 bytes, a path of 4096 bytes or more, or a control character.
char* JFileDialogResolve(const char* directory, const char* name);
// The typed text is too long for the name field's 254 characters.
bool JFileDialogNameTooLong(const char* typed);
// A path's directory (with its '/') and its last part, each JAlloc'd.
void JFileDialogSplit(const char* path, char** directory, char** name);
