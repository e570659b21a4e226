// Static text and text fields.
#include <cstring>

#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"
#include "jwin/J_clip.h"
#include "jwin/J_clipbo.h"
#include "jwin/J_clock.h"
#include "jwin/J_sched.h"
#include "jwin/J_text.h"
#include "jwin/J_window.h"

namespace {

struct LabelData {
  char* text;
};

struct FieldData {
  char* text;
  size_t length;  // of text, in bytes
  char* given;  // the last text handed out by JGetFieldText
  JTextFieldAction action;
  JTextFieldAction endAction;  // the user committed an edited text
  bool edited;                 // changed by the user since it was set or committed
  size_t caret;   // byte offset of the caret
  size_t anchor;  // the selection's other end; equal to the caret when nothing is selected
  int32_t scroll;  // pixels of the text hidden left of the field's inside
  JScheduled* autoScroll;  // queued while a drag holds the pointer past an edge
  bool pressed;  // a press that a second one may make a double click
  uint32_t pressTick;
  int16_t pressX;
};

constexpr int kFieldPad = 4;

void LabelConstruct(JWidget* w) {
  LabelData* d = static_cast<LabelData*>(JAlloc(sizeof(LabelData)));
  d->text = JStrDup("");
  w->classData = d;
}

void LabelDestruct(JWidget* w) {
  LabelData* d = static_cast<LabelData*>(w->classData);
  JFree(d->text);
  JFree(d);
  w->classData = nullptr;
}

bool LabelNaturalSize(JWidget* w, int16_t* width, int16_t* height) {
  tidge::TextSize(w, static_cast<LabelData*>(w->classData)->text, width, height);
  return true;
}

void LabelDraw(JWidget* w) {
  tidge::Begin(w);
  tidge::Text(w->x, w->y, static_cast<LabelData*>(w->classData)->text,
              (w->state & kJWidgetActive) ? tidge::kInk : tidge::kGreyInk);
  tidge::End();
}

const JWidgetClass* LabelClass() {
  static JWidgetClass* c = [] {
    JWidgetClass* k = JNewWidgetClass();
    k->construct = LabelConstruct;
    k->destruct = LabelDestruct;
    k->naturalSize = LabelNaturalSize;
    k->draw = LabelDraw;
    return k;
  }();
  return c;
}

FieldData* Field(JWidget* w) { return static_cast<FieldData*>(w->classData); }

bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Caret positions are byte offsets that never split a UTF-8 character.
size_t Before(const char* text, size_t at) {
  if (at == 0) return 0;
  do --at;
  while (at > 0 && Continuation(text[at]));
  return at;
}

size_t After(const char* text, size_t length, size_t at) {
  if (at >= length) return length;
  do ++at;
  while (at < length && Continuation(text[at]));
  return at;
}

size_t Snap(const char* text, size_t length, size_t at) {
  if (at >= length) return length;
  while (at > 0 && Continuation(text[at])) --at;
  return at;
}

size_t SelectionStart(const FieldData* d) { return d->caret < d->anchor ? d->caret : d->anchor; }
size_t SelectionEnd(const FieldData* d) { return d->caret < d->anchor ? d->anchor : d->caret; }

// The x offset of every byte position from the text's start (a position inside a character
// has its character's offset). Advances are whole pixels and add up, so one pass measures
// all, in 32 bits: a long text is wider than any 16-bit coordinate. JFree the result.
int32_t* Offsets(JWidget* w, const char* text, size_t length) {
  int32_t* x = static_cast<int32_t*>(JAlloc(sizeof(int32_t) * (length + 1)));
  tidge::Begin(w);
  x[0] = 0;
  for (size_t i = 0; i < length;) {
    const size_t next = After(text, length, i);
    JTextSizeRecord size;
    JTextSizeLength(text + i, static_cast<int32_t>(next - i), &size);
    for (size_t k = i + 1; k < next; ++k) x[k] = x[i];
    x[next] = x[i] + size.width;
    i = next;
  }
  return x;
}

int32_t InnerWidth(const JWidget* w) { return w->width - 2 * kFieldPad > 1 ? w->width - 2 * kFieldPad : 1; }

// Scrolls so that the caret stands inside the field, and no further than the text needs.
void KeepCaretVisible(JWidget* w, const int32_t* x) {
  FieldData* d = Field(w);
  const int32_t inner = InnerWidth(w);
  const int32_t caret = x[d->caret];
  const int32_t total = x[d->length];
  if (caret - d->scroll > inner - 1) d->scroll = caret - inner + 1;
  if (caret < d->scroll) d->scroll = caret;
  if (d->scroll > 0 && total - d->scroll < inner - 1) d->scroll = total - inner + 1 > 0 ? total - inner + 1 : 0;
}

// The character boundary nearest to a point of the window.
size_t PositionAt(JWidget* w, const int32_t* x, int16_t px) {
  const FieldData* d = Field(w);
  const int32_t want = px - (w->x + kFieldPad) + d->scroll;
  size_t best = 0;
  for (size_t i = After(d->text, d->length, 0); i <= d->length; i = After(d->text, d->length, i)) {
    const int32_t gap = x[i] > want ? x[i] - want : want - x[i];
    const int32_t bestGap = x[best] > want ? x[best] - want : want - x[best];
    if (gap < bestGap) best = i;
    if (x[i] > want || i == d->length) break;
  }
  return best;
}

void FieldConstruct(JWidget* w) {
  FieldData* d = static_cast<FieldData*>(JAlloc(sizeof(FieldData)));
  std::memset(d, 0, sizeof(FieldData));
  d->text = JStrDup("");
  w->classData = d;
}

void FieldDestruct(JWidget* w) {
  FieldData* d = Field(w);
  JCancelSchedule(d->autoScroll);
  JFree(d->text);
  JFree(d->given);
  JFree(d);
  w->classData = nullptr;
}

bool FieldNaturalSize(JWidget* w, int16_t* width, int16_t* height) {
  int16_t tw = 0, th = 0;
  tidge::TextSize(w, "MMMMMMMM", &tw, &th);
  *width = static_cast<int16_t>(tw + 2 * kFieldPad);
  *height = static_cast<int16_t>(th + 2 * kFieldPad);
  return true;
}

// Part of the text, [from, to), drawn at offset x0 from the text's start.
void DrawPart(const FieldData* d, size_t from, size_t to, int32_t x0, int top, uint32_t colour) {
  if (from >= to) return;
  char* part = static_cast<char*>(JAlloc(to - from + 1));
  std::memcpy(part, d->text + from, to - from);
  part[to - from] = '\0';
  tidge::Text(x0, top, part, colour);
  JFree(part);
}

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

void FieldDraw(JWidget* w) {
  FieldData* d = Field(w);
  const int l = w->x, t = w->y, r = w->x + w->width, b = w->y + w->height;
  const bool editing = JFocus(w->window) == w && (w->state & kJWidgetActive);
  tidge::Begin(w);
  tidge::Fill(l, t, r, b, (w->state & kJWidgetActive) ? tidge::kField : tidge::kFace);
  tidge::Bevel(l, t, r, b, false);
  int16_t tw = 0, th = 0;
  tidge::TextSize(w, "M", &tw, &th);
  const int top = t + (w->height - th) / 2;
  int32_t* x = Offsets(w, d->text, d->length);
  KeepCaretVisible(w, x);
  // Only what lies inside the field is drawn, so that a long text never covers its
  // neighbours and a very long one costs no more than the part shown.
  JClipRecord* saved = JSaveClip();
  JSetClipRect(JRectMake(static_cast<int16_t>(l + 1), static_cast<int16_t>(t + 1), static_cast<int16_t>(r - 1),
                         static_cast<int16_t>(b - 1)));
  const int32_t origin = l + kFieldPad - d->scroll;  // where the text's start would be
  size_t first = 0;
  while (first < d->length && x[After(d->text, d->length, first)] <= d->scroll) first = After(d->text, d->length, first);
  size_t last = first;
  while (last < d->length && origin + x[last] < r) last = After(d->text, d->length, last);
  DrawPart(d, first, last, origin + x[first], top, (w->state & kJWidgetActive) ? tidge::kInk : tidge::kGreyInk);
  const size_t from = SelectionStart(d), to = SelectionEnd(d);
  if (editing && from < to) {
    tidge::Fill(Clamp(origin + x[from], l + 1, r - 1), top, Clamp(origin + x[to], l + 1, r - 1), top + th,
                tidge::kSelection);
    const size_t a = from > first ? from : first, z = to < last ? to : last;
    DrawPart(d, a, z, origin + x[a], top, tidge::kLight);
  } else if (editing) {
    const int32_t caret = origin + x[d->caret];
    tidge::Fill(caret, top, caret + 1, top + th, tidge::kInk);
  }
  JRestoreClip(saved);
  JFree(x);
  tidge::End();
}

// Two presses this close together in time and place select the whole text.
constexpr uint32_t kDoubleClickTicks = 500;
constexpr int kDoubleClickSlop = 4;

void FieldDown(JWidget* w, int16_t px, int16_t, uint8_t modifiers) {
  // A press elsewhere in between (the focus went) does not pair with this one.
  const bool hadFocus = JFocus(w->window) == w;
  JSetFocus(w->window, w);
  FieldData* d = Field(w);
  const uint32_t now = JTickCount();
  const bool twice = hadFocus && d->pressed && now - d->pressTick <= kDoubleClickTicks && px - d->pressX <= kDoubleClickSlop &&
                     d->pressX - px <= kDoubleClickSlop;
  d->pressed = !twice;
  d->pressTick = now;
  d->pressX = px;
  int32_t* x = Offsets(w, d->text, d->length);
  KeepCaretVisible(w, x);
  if (twice) {
    d->anchor = 0;
    d->caret = d->length;
  } else {
    d->caret = PositionAt(w, x, px);
    if (!(modifiers & kJModShift)) d->anchor = d->caret;
  }
  KeepCaretVisible(w, x);
  JFree(x);
  JInvalidateWidget(w);
}

constexpr int32_t kAutoScrollTicks = 50;

bool PastAnEdge(const JWidget* w, int16_t px) { return px < w->x + kFieldPad || px >= w->x + w->width - kFieldPad; }

// Moves the caret end of the selection to the character under the pointer; past an edge
// at least one character further, so that holding the pointer there keeps scrolling.
// Answers whether the caret moved.
bool DragTo(JWidget* w, int16_t px) {
  FieldData* d = Field(w);
  int32_t* x = Offsets(w, d->text, d->length);
  size_t at = PositionAt(w, x, px);
  if (at == d->caret && PastAnEdge(w, px))
    at = px < w->x + kFieldPad ? Before(d->text, d->caret) : After(d->text, d->length, d->caret);
  const bool moved = at != d->caret;
  if (moved) {
    d->caret = at;
    KeepCaretVisible(w, x);
    JInvalidateWidget(w);
  }
  JFree(x);
  return moved;
}

// Stops at the text's end, when the pointer comes back, or when the press is over.
void AutoScroll(void* data) {
  JWidget* w = static_cast<JWidget*>(data);
  if (w->window->pressedWidget != w) return;
  int16_t px = 0, py = 0;
  JGetWindowPointer(w->window, &px, &py);
  if (PastAnEdge(w, px) && DragTo(w, px)) JSchedule(AutoScroll, w, kAutoScrollTicks, &Field(w)->autoScroll);
}

// A drag from a press in the field selects; held past an edge it scrolls the text on.
void FieldMove(JWidget* w, int16_t px, int16_t) {
  if (w->window->pressedWidget != w) return;
  DragTo(w, px);
  FieldData* d = Field(w);
  if (PastAnEdge(w, px) && !d->autoScroll) JSchedule(AutoScroll, w, kAutoScrollTicks, &d->autoScroll);
}

// Replaces the selection with `bytes` (already clean) and leaves the caret after them.
void Replace(JWidget* w, const char* bytes, size_t count) {
  FieldData* d = Field(w);
  const size_t from = SelectionStart(d), to = SelectionEnd(d);
  const size_t length = d->length - (to - from) + count;
  char* text = static_cast<char*>(JAlloc(length + 1));
  std::memcpy(text, d->text, from);
  std::memcpy(text + from, bytes, count);
  std::memcpy(text + from + count, d->text + to, d->length - to + 1);
  JFree(d->text);
  d->text = text;
  d->length = length;
  d->caret = d->anchor = from + count;
}

// After a change the user made: redrawn, and the owner told last (it may replace the
// text or even dispose the field).
void Edited(JWidget* w) {
  JInvalidateWidget(w);
  Field(w)->edited = true;
  if (JTextFieldAction action = Field(w)->action) action(w);
}

// Moves the caret; with Shift the selection's other end stays, without it a selection
// collapses to the caret's new place.
void MoveCaret(JWidget* w, size_t to, bool extend) {
  FieldData* d = Field(w);
  d->caret = to;
  if (!extend) d->anchor = to;
  JInvalidateWidget(w);
}

size_t Utf8(uint32_t c, char* bytes) {
  if (c < 0x80) {
    bytes[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    bytes[0] = static_cast<char>(0xC0 | (c >> 6));
    bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    bytes[0] = static_cast<char>(0xE0 | (c >> 12));
    bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  bytes[0] = static_cast<char>(0xF0 | (c >> 18));
  bytes[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  bytes[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  bytes[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

// The letter of a key with the command combination: some platforms type a control
// character with Ctrl held, and then the key's own code tells the letter.
char CommandLetter(const JKeyEvent* key) {
  auto upper = [](uint8_t c) -> char {
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c) : 0;
  };
  if (const char c = upper(key->character)) return c;
  return key->character < 32 ? upper(key->code) : 0;
}

// Keys with the command combination reach the field only when no menu shortcut took them:
// in a modal dialog, or without an Edit menu.
bool FieldCommandKey(JWidget* w, char letter) {
  switch (letter) {
    case 'A': JSetFieldSelection(w, 0, Field(w)->length); return true;
    case 'C': JFieldCopy(w); return true;
    case 'X': JFieldCut(w); return true;
    case 'V': JFieldPaste(w); return true;
    default: return false;
  }
}

bool FieldKey(JWidget* w, JKeyEvent* key) {
  FieldData* d = Field(w);
  const bool extend = key->modifiers & kJModShift;
  if (key->modifiers & kJModCommand) {
    if (const char letter = CommandLetter(key)) return FieldCommandKey(w, letter);
  }
  const bool selected = d->caret != d->anchor;
  switch (key->character) {
    case kJCharLeft:
      MoveCaret(w, selected && !extend ? SelectionStart(d) : Before(d->text, d->caret), extend);
      return true;
    case kJCharRight:
      MoveCaret(w, selected && !extend ? SelectionEnd(d) : After(d->text, d->length, d->caret), extend);
      return true;
    case kJCharHome: MoveCaret(w, 0, extend); return true;
    case kJCharEnd: MoveCaret(w, d->length, extend); return true;
    case kJCharBackspace:
    case kJCharDelete:
      if (!selected) {
        if (key->character == kJCharBackspace) {
          if (d->caret == 0) return true;
          d->anchor = Before(d->text, d->caret);
        } else {
          if (d->caret == d->length) return true;
          d->anchor = After(d->text, d->length, d->caret);
        }
      }
      Replace(w, "", 0);
      Edited(w);
      return true;
    default: break;
  }
  if (key->unicode >= 32 && key->unicode != 127 && !(key->modifiers & kJModCommand)) {
    char bytes[4];
    Replace(w, bytes, Utf8(key->unicode, bytes));
    Edited(w);
    return true;
  }
  // Return commits an edited text; otherwise it belongs to others (a default button).
  if (key->character == kJCharReturn && d->edited && d->endAction) {
    JEndFieldEdit(w);
    return true;
  }
  return false;  // Escape, Up, Down and commands belong to others
}

void FieldNotify(JWidget* w, uint32_t code, uintptr_t) {
  if (code == kJNotifyFocusLost) JEndFieldEdit(w);
}

const JWidgetClass* FieldClass() {
  static JWidgetClass* c = [] {
    JWidgetClass* k = JNewWidgetClass();
    k->construct = FieldConstruct;
    k->destruct = FieldDestruct;
    k->naturalSize = FieldNaturalSize;
    k->draw = FieldDraw;
    k->mouseDown = FieldDown;
    k->mouseMove = FieldMove;
    k->key = FieldKey;
    k->notify = FieldNotify;
    return k;
  }();
  return c;
}

// One line of text as a field can hold it: up to the first line break, without control
// characters or bytes that are not UTF-8. A new JAlloc string.
char* OneLine(const char* text, size_t* count) {
  const size_t n = std::strlen(text);
  char* out = static_cast<char*>(JAlloc(n + 1));
  size_t o = 0;
  for (size_t i = 0; i < n && text[i] != '\r' && text[i] != '\n';) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    bool valid = len != 0 && i + len <= n && !(len == 2 && c < 0xC2);
    for (size_t k = 1; valid && k < len; ++k) valid = Continuation(text[i + k]);
    if (!valid) {
      ++i;
      continue;
    }
    if (c >= 32 && c != 127) {
      std::memcpy(out + o, text + i, len);
      o += len;
    }
    i += len;
  }
  out[o] = '\0';
  *count = o;
  return out;
}

}  // namespace

JWidget* JNewLabel(JWindow* window, JWidget* container, int16_t x, int16_t y, const char* text) {
  JWidget* w = JNewWidget(LabelClass(), window, container, x, y);
  JSetLabelText(w, text);
  JSizeWidget(w, 0, 0);
  return w;
}

void JSetLabelText(JWidget* label, const char* text) {
  if (!label || label->widgetClass != LabelClass()) return;
  LabelData* d = static_cast<LabelData*>(label->classData);
  d->text = tidge::Replace(d->text, text);
  JInvalidateWidget(label);
}

const char* JLabelText(const JWidget* label) {
  if (!label || label->widgetClass != LabelClass()) return "";
  return static_cast<const LabelData*>(label->classData)->text;
}

JWidget* JNewTextField(JWindow* window, JWidget* container, int16_t x, int16_t y, const char* text) {
  JWidget* w = JNewWidget(FieldClass(), window, container, x, y);
  JSizeWidget(w, 0, 0);
  JSetFieldText(w, text);
  return w;
}

void JSetFieldText(JWidget* field, const char* text) {
  if (!JIsTextField(field)) return;
  FieldData* d = Field(field);
  d->text = tidge::Replace(d->text, text);
  d->length = std::strlen(d->text);
  d->caret = d->anchor = d->length;
  d->edited = false;
  JInvalidateWidget(field);
}

const char* JGetFieldText(JWidget* field) {
  if (!JIsTextField(field)) return "";
  FieldData* d = Field(field);
  d->given = tidge::Replace(d->given, d->text);
  return d->given;
}

void JSetFieldAction(JWidget* field, JTextFieldAction action) {
  if (JIsTextField(field)) Field(field)->action = action;
}

void JSetFieldEndAction(JWidget* field, JTextFieldAction action) {
  if (JIsTextField(field)) Field(field)->endAction = action;
}

void JEndFieldEdit(JWidget* field) {
  if (!JIsTextField(field) || !Field(field)->edited) return;
  Field(field)->edited = false;
  if (JTextFieldAction action = Field(field)->endAction) action(field);
}

int16_t JFieldWidthFor(JWidget* field, const char* text) {
  int16_t width = 0, height = 0;
  tidge::TextSize(field, text, &width, &height);
  return static_cast<int16_t>(width + 2 * kFieldPad + 1);
}

bool JIsTextField(const JWidget* w) { return w && w->widgetClass == FieldClass() && w->classData; }

void JSetFieldSelection(JWidget* field, size_t start, size_t end) {
  if (!JIsTextField(field)) return;
  FieldData* d = Field(field);
  d->anchor = Snap(d->text, d->length, start);
  d->caret = Snap(d->text, d->length, end);
  JInvalidateWidget(field);
}

void JFieldSelection(const JWidget* field, size_t* start, size_t* end) {
  *start = *end = 0;
  if (!JIsTextField(field)) return;
  const FieldData* d = static_cast<const FieldData*>(field->classData);
  *start = SelectionStart(d);
  *end = SelectionEnd(d);
}

size_t JFieldCaret(const JWidget* field) {
  return JIsTextField(field) ? static_cast<const FieldData*>(field->classData)->caret : 0;
}

bool JFieldHasSelection(const JWidget* field) {
  size_t start, end;
  JFieldSelection(field, &start, &end);
  return start < end;
}

JWidget* JFocusedTextField() {
  JWidget* w = JFocus(JActiveWindow());
  return JIsTextField(w) && JWidgetVisible(w) && JWidgetActive(w) ? w : nullptr;
}

bool JFieldCopy(JWidget* field) {
  if (!JFieldHasSelection(field)) return false;
  FieldData* d = Field(field);
  const size_t from = SelectionStart(d), to = SelectionEnd(d);
  char* part = static_cast<char*>(JAlloc(to - from + 1));
  std::memcpy(part, d->text + from, to - from);
  part[to - from] = '\0';
  const bool put = JClipboardPutText(part);
  JFree(part);
  return put;
}

bool JFieldCut(JWidget* field) {
  // What could not be kept on the clipboard is not taken out of the field either.
  if (!JFieldCopy(field)) return false;
  Replace(field, "", 0);
  Edited(field);
  return true;
}

bool JFieldPaste(JWidget* field) {
  if (!JIsTextField(field)) return false;
  char* text = JClipboardGetText();
  if (!text) return false;
  size_t count = 0;
  char* line = OneLine(text, &count);
  JFree(text);
  Replace(field, line, count);
  JFree(line);
  Edited(field);
  return true;
}
