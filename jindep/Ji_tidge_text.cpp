// Static text and text fields.
#include <cstring>

#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"
#include "jwin/J_window.h"

namespace {

struct LabelData {
  char* text;
};

struct FieldData {
  char* text;
  char* given;  // the last text handed out by JGetFieldText
  JTextFieldAction action;
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

void FieldConstruct(JWidget* w) {
  FieldData* d = static_cast<FieldData*>(JAlloc(sizeof(FieldData)));
  d->text = JStrDup("");
  d->given = nullptr;
  d->action = nullptr;
  w->classData = d;
}

void FieldDestruct(JWidget* w) {
  FieldData* d = Field(w);
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

void FieldDraw(JWidget* w) {
  const int l = w->x, t = w->y, r = w->x + w->width, b = w->y + w->height;
  const bool focused = JFocus(w->window) == w;
  tidge::Begin(w);
  tidge::Fill(l, t, r, b, (w->state & kJWidgetActive) ? tidge::kField : tidge::kFace);
  tidge::Bevel(l, t, r, b, false);
  int16_t tw = 0, th = 0;
  tidge::TextSize(w, "M", &tw, &th);
  const int top = t + (w->height - th) / 2;
  const int width = tidge::Text(l + kFieldPad, top, Field(w)->text, tidge::kInk);
  if (focused && (w->state & kJWidgetActive)) tidge::Fill(l + kFieldPad + width, top, l + kFieldPad + width + 1, top + th, tidge::kInk);
  tidge::End();
}

void FieldDown(JWidget* w, int16_t, int16_t, uint8_t) { JSetFocus(w->window, w); }

bool FieldKey(JWidget* w, JKeyEvent* key) {
  FieldData* d = Field(w);
  const size_t n = std::strlen(d->text);
  if (key->character == kJCharBackspace) {
    if (n == 0) return true;
    // One whole UTF-8 character goes.
    size_t cut = n - 1;
    while (cut > 0 && (static_cast<unsigned char>(d->text[cut]) & 0xC0) == 0x80) --cut;
    d->text[cut] = '\0';
  } else if (key->unicode >= 32 && key->unicode != 127 && !(key->modifiers & kJModCommand)) {
    char bytes[5] = {};
    const uint32_t c = key->unicode;
    if (c < 0x80) {
      bytes[0] = static_cast<char>(c);
    } else if (c < 0x800) {
      bytes[0] = static_cast<char>(0xC0 | (c >> 6));
      bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      bytes[0] = static_cast<char>(0xE0 | (c >> 12));
      bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      bytes[0] = static_cast<char>(0xF0 | (c >> 18));
      bytes[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      bytes[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes[3] = static_cast<char>(0x80 | (c & 0x3F));
    }
    const size_t add = std::strlen(bytes);
    d->text = static_cast<char*>(JRealloc(d->text, n + add + 1));
    std::memcpy(d->text + n, bytes, add + 1);
  } else {
    return false;  // Return, Escape, arrows and commands belong to others
  }
  JInvalidateWidget(w);
  if (d->action) d->action(w);
  return true;
}

const JWidgetClass* FieldClass() {
  static JWidgetClass* c = [] {
    JWidgetClass* k = JNewWidgetClass();
    k->construct = FieldConstruct;
    k->destruct = FieldDestruct;
    k->naturalSize = FieldNaturalSize;
    k->draw = FieldDraw;
    k->mouseDown = FieldDown;
    k->key = FieldKey;
    return k;
  }();
  return c;
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
  if (!field || field->widgetClass != FieldClass()) return;
  Field(field)->text = tidge::Replace(Field(field)->text, text);
  JInvalidateWidget(field);
}

const char* JGetFieldText(JWidget* field) {
  if (!field || field->widgetClass != FieldClass()) return "";
  FieldData* d = Field(field);
  d->given = tidge::Replace(d->given, d->text);
  return d->given;
}

void JSetFieldAction(JWidget* field, JTextFieldAction action) {
  if (field && field->widgetClass == FieldClass()) Field(field)->action = action;
}
