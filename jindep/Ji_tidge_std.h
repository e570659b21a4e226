// The toolkit's standard widget classes: static text, push button, toggle, text field,
// scroll bar, progress bar and spacer, all drawn by the toolkit itself. Each is a widget
// (Ji_tidge.h) whose class fills the slots its use needs. The widget's two free words
// (word1, word2) are left to the owner, for example to find its own record.
#pragma once
#include <cstddef>
#include <cstdint>

#include "jindep/Ji_tidge.h"

// --- static text ------------------------------------------------------------------------
// Shows one line of text; its natural size is the text's.
JWidget* JNewLabel(JWindow* window, JWidget* container, int16_t x, int16_t y, const char* text);
void JSetLabelText(JWidget* label, const char* text);
const char* JLabelText(const JWidget* label);

// --- push button ------------------------------------------------------------------------
typedef void (*JButtonAction)(JWidget* button);
JWidget* JNewButton(JWindow* window, JWidget* container, int16_t x, int16_t y, const char* title);
void JSetButtonTitle(JWidget* button, const char* title);
void JSetButtonDefault(JWidget* button, bool isDefault);
void JSetButtonAction(JWidget* button, JButtonAction action);
// Calls the action when the button is active and has one (Return and Escape do this).
void JPressButton(JWidget* button);

// --- toggle (check box) -----------------------------------------------------------------
typedef void (*JToggleAction)(JWidget* toggle);
JWidget* JNewToggle(JWindow* window, JWidget* container, int16_t x, int16_t y, const char* title);
void JSetToggleTitle(JWidget* toggle, const char* title);
// Nothing happens when the state is unchanged unless the force flag is set (the call
// clears it); otherwise the toggle is redrawn and, with `notify`, the action is called.
void JSetToggleState(JWidget* toggle, uint8_t state, bool notify);
void JForceToggle(JWidget* toggle);
uint8_t JToggleState(const JWidget* toggle);
void JSetToggleAction(JWidget* toggle, JToggleAction action);

// --- text field -------------------------------------------------------------------------
// One line of UTF-8 text with a caret and a selection. The text is drawn inside the field
// only, scrolled sideways so that the caret stays in view. A press places the caret (with
// Shift it extends the selection), a drag selects, a double click selects the whole text.
// With the focus: Left, Right, Home and End move the caret (with Shift they extend the
// selection), Backspace and Delete remove the selection or one character, a typed
// character replaces the selection. Ctrl+A selects all, and Ctrl+X, C and V cut, copy and
// paste when no menu shortcut takes those keys first.
typedef void (*JTextFieldAction)(JWidget* field);
JWidget* JNewTextField(JWindow* window, JWidget* container, int16_t x, int16_t y, const char* text);
// The caret goes to the end of the new text; nothing is selected.
void JSetFieldText(JWidget* field, const char* text);
// The current text as an owned string that replaces the previous one: the caller does
// not free it, and it stays valid until the next call or the field's disposal.
const char* JGetFieldText(JWidget* field);
// Called after every change of the text the user makes (typing, deleting, cut, paste).
void JSetFieldAction(JWidget* field, JTextFieldAction action);
// Called when the user ends editing a text changed since it was set: Return in the field,
// the focus leaving it, or a menu shortcut or unmatched command key (JEndFieldEdit).
void JSetFieldEndAction(JWidget* field, JTextFieldAction action);
// Ends the edit of a field whose text the user changed: its end action runs once.
void JEndFieldEdit(JWidget* field);
bool JIsTextField(const JWidget* w);
// The width a field needs to show `text` whole, its padding and caret included.
int16_t JFieldWidthFor(JWidget* field, const char* text);
// Selects the bytes from `start` to `end` (in either order; the caret goes to `end`).
// Offsets past the text mean its end; one inside a character means that character's start.
void JSetFieldSelection(JWidget* field, size_t start, size_t end);
// The selection as byte offsets, start <= end (equal when nothing is selected).
void JFieldSelection(const JWidget* field, size_t* start, size_t* end);
size_t JFieldCaret(const JWidget* field);
bool JFieldHasSelection(const JWidget* field);
// The text field that has the focus in the active window (visible and active), or null.
JWidget* JFocusedTextField();
// The clipboard edits. Copy puts the selection on the clipboard as text; Cut does that and
// removes it; Paste puts the clipboard's text in place of the selection (its first line
// only, without control characters). Each answers whether it did anything.
bool JFieldCopy(JWidget* field);
bool JFieldCut(JWidget* field);
bool JFieldPaste(JWidget* field);

// --- scroll bar -------------------------------------------------------------------------
// Actions: 0 by line, 1 by page, 2 to an end (amounts -1 or +1), 3 to a position (the
// amount is the position), 4 none.
enum : int16_t { kJScrollLine = 0, kJScrollPage = 1, kJScrollEnd = 2, kJScrollTo = 3, kJScrollNone = 4 };
// Scroll codes as scroll messages carry them.
enum : int16_t {
  kJScrollCodeLineUp = 0,
  kJScrollCodeLineDown = 1,
  kJScrollCodePageUp = 2,
  kJScrollCodePageDown = 3,
  kJScrollCodeThumbPosition = 4,
  kJScrollCodeThumbTrack = 5,
  kJScrollCodeTop = 6,
  kJScrollCodeBottom = 7,
  kJScrollCodeEnd = 8,
};
typedef void (*JScrollAction)(JWidget* bar, int16_t action, int32_t amount);
// Vertical when it is taller than wide.
JWidget* JNewScrollBar(JWindow* window, JWidget* container, int16_t x, int16_t y, int16_t length, bool vertical);
int16_t JScrollBarThickness();
void JSetScrollAction(JWidget* bar, int16_t action, JScrollAction proc);
// Below 0 counts as 0; a position beyond the new maximum moves to it.
void JSetScrollMaximum(JWidget* bar, int32_t maximum);
void JSetScrollValue(JWidget* bar, int32_t value);
int32_t JScrollValue(const JWidget* bar);
int32_t JScrollMaximum(const JWidget* bar);
// The action and amount of a scroll code (`thumb` is the thumb's position).
void JScrollActionOf(int16_t code, int32_t thumb, int16_t* action, int32_t* amount);
// A scroll message for a scroll bar: logged, mapped and handed to its action procedure.
void JScrollBarMessage(JWidget* bar, uint32_t message, int16_t code, int32_t thumb);
// The same for a window's own scroll bars: its four horizontal or vertical procedures.
void JWindowScrollMessage(JWindow* window, bool vertical, uint32_t message, int16_t code, int32_t thumb);

// --- progress bar and spacer ------------------------------------------------------------
JWidget* JNewProgressBar(JWindow* window, JWidget* container, int16_t x, int16_t y, int16_t width);
void JSetProgressMaximum(JWidget* bar, uint32_t maximum);
void JSetProgressValue(JWidget* bar, uint32_t value);
void JIncreaseProgress(JWidget* bar, uint32_t by);
uint32_t JProgressValue(const JWidget* bar);
// An empty widget that only takes room.
JWidget* JNewSpacer(JWindow* window, JWidget* container, int16_t x, int16_t y, int16_t width, int16_t height);

// --- cursor and pointer -----------------------------------------------------------------
// 1 arrow, 2 cross, 3 I-beam, 4 wait; 5 to 7 the application's cursors (arrow-based here).
// Other numbers are ignored.
void JSetCursor(int16_t number);
int16_t JCurrentCursor();
// In the main window's content coordinates.
void JGetPointer(int16_t* x, int16_t* y);
void JSetPointer(int16_t x, int16_t y);

// --- list -------------------------------------------------------------------------------
// A bordered box of text rows with one selected row (highlighted) and a vertical scroll
// bar when the rows do not fit. A click selects a row; a double click, or Return while
// the list has the focus, activates it. With the focus, Up, Down, Home, End, PageUp and
// PageDown move the selection. The scroll bar is a widget of its own in the same window,
// moved, shown and disposed with the list.
typedef void (*JListAction)(JWidget* list);
JWidget* JNewList(JWindow* window, JWidget* container, int16_t x, int16_t y, int16_t width, int16_t height);
// Replaces the rows with copies of `rows`; nothing is selected afterwards.
void JSetListRows(JWidget* list, const char* const* rows, int count);
int JListRowCount(const JWidget* list);
const char* JListRow(const JWidget* list, int index);  // null outside the rows
// -1 (or any index outside the rows) selects nothing; a selected row is scrolled into view.
void JSetListSelection(JWidget* list, int index);
int JListSelection(const JWidget* list);  // -1 when nothing is selected
const char* JListSelectedRow(const JWidget* list);  // null when nothing is selected
// Called after the user changes the selection (not after JSetListSelection).
void JSetListSelectAction(JWidget* list, JListAction action);
// Called on a double click on a row or on Return, with that row selected.
void JSetListActivateAction(JWidget* list, JListAction action);
int JListTopRow(const JWidget* list);  // the first row shown
int16_t JListRowHeight(const JWidget* list);
// The height that shows exactly `rows` rows inside the border.
int16_t JListHeightForRows(const JWidget* list, int rows);
// The row under a point of the window, or -1.
int JListRowAt(const JWidget* list, int16_t x, int16_t y);
