// The open and save dialogs' window: its parts and their places, what they do when
// used, and the lists of the shown directory.
#include <cstring>

#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"
#include "jindep/string_resources.h"
#include "jwin/J_filedlg_state.h"
#include "jwin/J_gc.h"
#include "jwin/desktop_view.h"

namespace {

// The content: a column for the name, files and types, one for the directories and the
// places, and one for the buttons.
constexpr int16_t kWidth = 580;
constexpr int16_t kMargin = 10;
constexpr int16_t kGap = 10;
constexpr int16_t kNameColumn = 220;
constexpr int16_t kDirectoryColumn = 190;
constexpr int16_t kButtonColumn = kWidth - 2 * kMargin - kNameColumn - kDirectoryColumn - 2 * kGap;
constexpr int16_t kLabelHeight = 18;
// About the lists' heights; each is made a whole number of rows.
constexpr int16_t kListHeight = 160;
constexpr int16_t kLowListHeight = 92;
JFileDialog* DialogOf(JWidget* w) { return reinterpret_cast<JFileDialog*>(w->word1); }

char* PatternOfDialog(const JFileDialog* d) {
  const JFileTypeRow* row = d->selected >= 0 && d->selected < d->count ? JFileTypeGetRow(d->rows[d->selected]) : nullptr;
  const char* extension = row && row->extension && *row->extension ? row->extension : ".*";
  const size_t n = std::strlen(extension);
  char* pattern = static_cast<char*>(JAlloc(n + 2));
  pattern[0] = '*';
  std::memcpy(pattern + 1, extension, n + 1);
  return pattern;
}

// "..." and the end of a path from byte `start` (moved on to a whole character).
char* Shortened(const char* path, size_t start) {
  while ((static_cast<unsigned char>(path[start]) & 0xC0) == 0x80) ++start;
  const size_t n = std::strlen(path + start);
  char* cut = static_cast<char*>(JAlloc(n + 4));
  std::memcpy(cut, "...", 3);
  std::memcpy(cut + 3, path + start, n + 1);
  return cut;
}

// A path too wide for its place loses characters at its start, shown as "...". The
// shortest cut that fits is searched by halves: paths may be thousands of bytes long.
void ShowDirectory(JFileDialog* d) {
  JWidget* label = d->parts[kJFileDialogDirectoryText];
  const int room = kWidth - kMargin - label->x;
  int16_t w = 0, h = 0;
  tidge::TextSize(label, d->directory, &w, &h);
  if (w <= room) {
    JSetLabelText(label, d->directory);
  } else {
    size_t fits = std::strlen(d->directory), tooWide = 0;
    while (fits - tooWide > 1) {
      const size_t middle = tooWide + (fits - tooWide) / 2;
      char* cut = Shortened(d->directory, middle);
      tidge::TextSize(label, cut, &w, &h);
      JFree(cut);
      (w <= room ? fits : tooWide) = middle;
    }
    char* cut = Shortened(d->directory, fits);
    JSetLabelText(label, cut);
    JFree(cut);
  }
  JSizeWidget(label, 0, 0);
}

void SetRows(JWidget* list, const JFileList& names) {
  JSetListRows(list, const_cast<const char* const*>(names.names), names.count);
}

// --- actions of the parts --------------------------------------------------------------------

void FileSelected(JWidget* list) {
  if (const char* name = JListSelectedRow(list)) JFileDialogSetName(DialogOf(list), name);
}

void FileActivated(JWidget* list) {
  FileSelected(list);
  JFileDialogPressOk(DialogOf(list));
}

void TypeSelected(JWidget* list) { JFileDialogSelectType(DialogOf(list), JListSelection(list)); }

void DirectoryActivated(JWidget* list) {
  JFileDialog* d = DialogOf(list);
  const char* row = JListSelectedRow(list);
  if (!row || row[0] != '[') return;
  // "[name]" without its brackets.
  const size_t n = std::strlen(row);
  char* name = static_cast<char*>(JAlloc(n));
  std::memcpy(name, row + 1, n - 2);
  name[n - 2] = '\0';
  char* path = JFileDialogResolve(d->directory, name);
  if (path) JFileDialogEnter(d, path);
  JFree(path);
  JFree(name);
}

void PlaceActivated(JWidget* list) {
  if (const char* place = JListSelectedRow(list)) JFileDialogEnter(DialogOf(list), place);
}

void OkPressed(JWidget* button) { JFileDialogPressOk(DialogOf(button)); }
void CancelPressed(JWidget* button) { JFileDialogClose(DialogOf(button)); }
void CreatePressed(JWidget* button) { JFileDialogCreateDirectory(DialogOf(button)); }

void DialogDraw(JWindow* window) {
  int16_t w = 0, h = 0;
  JGetWindowContentSize(window, &w, &h);
  JSetGC(JDefaultGC());
  tidge::Fill(0, 0, w, h, tidge::kFace);
  tidge::End();
}

void DialogKey(JWindow* window, JKeyEvent* key) {
  JFileDialog* d = JFileDialogOf(window);
  if (!d) return;
  if (key->character == kJCharReturn)
    JPressButton(d->parts[kJFileDialogOkButton]);
  else if (key->character == kJCharEscape)
    JPressButton(d->parts[kJFileDialogCancelButton]);
}

// --- building ------------------------------------------------------------------------------

JWidget* Own(JFileDialog* d, JWidget* w) {
  w->word1 = reinterpret_cast<uintptr_t>(d);
  JShowWidget(w);
  return w;
}

JWidget* Label(JFileDialog* d, int16_t x, int16_t y, const char* text) {
  return Own(d, JNewLabel(d->window, nullptr, x, y, text));
}

JWidget* List(JFileDialog* d, int16_t x, int16_t y, int16_t width, int16_t height) {
  return Own(d, JNewList(d->window, nullptr, x, y, width, height));
}

// The height of whole rows nearest below `about`.
int16_t WholeRows(const JWidget* list, int16_t about) {
  return JListHeightForRows(list, (about - JListHeightForRows(list, 0)) / JListRowHeight(list));
}

JWidget* Button(JFileDialog* d, int16_t y, const char* title, JButtonAction action) {
  JWidget* b = Own(d, JNewButton(d->window, nullptr, static_cast<int16_t>(kWidth - kMargin - kButtonColumn), y, title));
  JSizeWidget(b, kButtonColumn, b->height);
  JSetButtonAction(b, action);
  return b;
}

void Build(JFileDialog* d, JWindow* parent, const char* title, const char* typeLabel) {
  d->window = JNewWindow(parent, title, kJWindowDialog | kJWindowSystemMenu);
  if (!d->window) return;
  d->window->data = d;
  JWidget** p = d->parts;
  const int16_t a = kMargin, b = kMargin + kNameColumn + kGap;
  int16_t y = kMargin;

  // Made in focus order: Tab goes from the name to the files, the types, the directories
  // and the places.
  Label(d, a, y, JFileDialogText(kStrFileNameLabel));
  Label(d, b, y, JFileDialogText(kStrDirectoryLabel));
  y = static_cast<int16_t>(y + kLabelHeight);
  JWidget* field = p[kJFileDialogNameField] = Own(d, JNewTextField(d->window, nullptr, a, y, ""));
  JSizeWidget(field, kNameColumn, field->height);
  // The shown directory sits beside the name field, over the directory list.
  JWidget* shown = p[kJFileDialogDirectoryText] = Label(d, b, y, "/");
  JMoveWidget(shown, b, static_cast<int16_t>(y + (field->height - shown->height) / 2));

  const int16_t listTop = static_cast<int16_t>(y + field->height + 6);
  JWidget* files = p[kJFileDialogFileList] = List(d, a, listTop, kNameColumn, kListHeight);
  const int16_t listHeight = WholeRows(files, kListHeight);
  JSizeWidget(files, kNameColumn, listHeight);
  const int16_t lowTop = static_cast<int16_t>(listTop + listHeight + 8);
  const int16_t lowListTop = static_cast<int16_t>(lowTop + kLabelHeight);
  const int16_t lowHeight = WholeRows(files, kLowListHeight);
  Label(d, a, lowTop, typeLabel);
  p[kJFileDialogTypeList] = List(d, a, lowListTop, kNameColumn, lowHeight);
  p[kJFileDialogDirectoryList] = List(d, b, listTop, kDirectoryColumn, listHeight);
  Label(d, b, lowTop, JFileDialogText(kStrPlacesLabel));
  p[kJFileDialogPlaceList] = List(d, b, lowListTop, kDirectoryColumn, lowHeight);

  JWidget* ok = p[kJFileDialogOkButton] =
      Button(d, listTop, JFileDialogText(d->saving ? kStrSaveButton : kStrOpenButton), OkPressed);
  JSetButtonDefault(ok, true);
  p[kJFileDialogCancelButton] =
      Button(d, static_cast<int16_t>(listTop + ok->height + 8), JFileDialogText(kStrCancelButton), CancelPressed);
  if (d->saving)
    p[kJFileDialogCreateButton] = Button(d, static_cast<int16_t>(listTop + listHeight - ok->height),
                                         JFileDialogText(kStrCreateDirectoryTitle), CreatePressed);

  JSetListSelectAction(p[kJFileDialogFileList], FileSelected);
  JSetListActivateAction(p[kJFileDialogFileList], FileActivated);
  JSetListSelectAction(p[kJFileDialogTypeList], TypeSelected);
  JSetListActivateAction(p[kJFileDialogDirectoryList], DirectoryActivated);
  JSetListActivateAction(p[kJFileDialogPlaceList], PlaceActivated);
  JSetListRows(p[kJFileDialogTypeList], d->labels, d->count);
  JSetListSelection(p[kJFileDialogTypeList], d->selected);
  d->places = JFileListRoots();
  SetRows(p[kJFileDialogPlaceList], d->places);

  JSetHandler(d->window, kJSlotDraw, DialogDraw);
  JSetHandler(d->window, kJSlotKeyDown, DialogKey);
  JSizeWindow(d->window, kWidth, static_cast<int16_t>(lowListTop + lowHeight + kMargin));
  JCentreInDocumentArea(d->window);
}

}  // namespace

JFileDialog* JFileDialogOf(JWindow* window) {
  if (!window || window->slots[kJSlotDraw] != reinterpret_cast<JHandler>(DialogDraw)) return nullptr;
  return static_cast<JFileDialog*>(window->data);
}

void JFileDialogEnter(JFileDialog* d, const char* directory) {
  const size_t n = std::strlen(directory);
  JFree(d->directory);
  d->directory = static_cast<char*>(JAlloc(n + 2));
  std::memcpy(d->directory, directory, n + 1);
  if (n == 0 || directory[n - 1] != '/') std::memcpy(d->directory + n, "/", 2);
  ShowDirectory(d);
  JFileDialogRefresh(d);
}

void JFileDialogRefresh(JFileDialog* d) {
  JFileList directories = JFileListDirectories(d->directory);
  SetRows(d->parts[kJFileDialogDirectoryList], directories);
  JFileListFree(&directories);
  JFileList files = JFileListFiles(d->directory, d->pattern);
  SetRows(d->parts[kJFileDialogFileList], files);
  JFileListFree(&files);
}

void JFileDialogSelectType(JFileDialog* d, int index) {
  if (index < 0 || index >= d->count) return;
  d->selected = index;
  JSetListSelection(d->parts[kJFileDialogTypeList], index);
  // A pattern in the name field follows the type; a name typed there stays.
  JWidget* field = d->parts[kJFileDialogNameField];
  const char* typed = JGetFieldText(field);
  const bool showsPattern = !*typed || std::strchr(typed, '*') || std::strchr(typed, '?');
  JFree(d->pattern);
  d->pattern = PatternOfDialog(d);
  if (showsPattern) JFileDialogSetName(d, d->pattern);
  JFileDialogRefresh(d);
}

void JFileDialogSetName(JFileDialog* d, const char* text) {
  // The text stands selected, so the first key typed replaces it.
  JSetFieldText(d->parts[kJFileDialogNameField], text);
  JSetFieldSelection(d->parts[kJFileDialogNameField], 0, std::strlen(text));
}

void JFileDialogClose(JFileDialog* d) { JDisposeWindow(d->window); }

bool JFileDialogBuild(JFileDialog* d, JWindow* parent, const char* title, const char* typeLabel) {
  Build(d, parent, title, typeLabel);
  if (!d->window) return false;
  d->pattern = PatternOfDialog(d);
  return true;
}

JWidget* JFileDialogWidget(JWindow* dialog, JFileDialogPart part) {
  JFileDialog* d = JFileDialogOf(dialog);
  if (!d || part < kJFileDialogNameField || part > kJFileDialogCreateButton) return nullptr;
  return d->parts[part];
}

const char* JFileDialogDirectory(JWindow* dialog) {
  JFileDialog* d = JFileDialogOf(dialog);
  return d ? d->directory : nullptr;
}
