// Push buttons and toggles (check boxes).
#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"

namespace {

struct ButtonData {
  char* title;
  bool isDefault;
  bool pressed;  // the pointer is down on the button
  bool inside;   // ... and over it
  JButtonAction action;
};

struct ToggleData {
  char* title;
  uint8_t state;
  bool force;
  bool tracking;
  JToggleAction action;
};

constexpr int kButtonPadX = 12;
constexpr int kButtonPadY = 5;
constexpr int kBox = 13;

bool Inside(const JWidget* w, int x, int y) {
  return x >= w->x && y >= w->y && x < w->x + w->width && y < w->y + w->height;
}

ButtonData* Button(JWidget* w) { return static_cast<ButtonData*>(w->classData); }
ToggleData* Toggle(JWidget* w) { return static_cast<ToggleData*>(w->classData); }

void ButtonConstruct(JWidget* w) {
  ButtonData* d = static_cast<ButtonData*>(JAlloc(sizeof(ButtonData)));
  *d = {JStrDup(""), false, false, false, nullptr};
  w->classData = d;
}

void ButtonDestruct(JWidget* w) {
  JFree(Button(w)->title);
  JFree(w->classData);
  w->classData = nullptr;
}

bool ButtonNaturalSize(JWidget* w, int16_t* width, int16_t* height) {
  int16_t tw = 0, th = 0;
  tidge::TextSize(w, Button(w)->title, &tw, &th);
  *width = static_cast<int16_t>(tw + 2 * kButtonPadX);
  *height = static_cast<int16_t>(th + 2 * kButtonPadY);
  return true;
}

void ButtonDraw(JWidget* w) {
  const ButtonData* d = Button(w);
  int l = w->x, t = w->y, r = w->x + w->width, b = w->y + w->height;
  tidge::Begin(w);
  tidge::Fill(l, t, r, b, tidge::kFace);
  if (d->isDefault) {
    tidge::Frame(l, t, r, b, tidge::kInk);
    ++l, ++t, --r, --b;
  }
  const bool down = d->pressed && d->inside;
  tidge::Bevel(l, t, r, b, !down);
  const int shift = down ? 1 : 0;
  tidge::TextCentred(l + shift, t + shift, r + shift, b + shift, d->title,
                     (w->state & kJWidgetActive) ? tidge::kInk : tidge::kGreyInk);
  tidge::End();
}

void ButtonDown(JWidget* w, int16_t x, int16_t y, uint8_t) {
  Button(w)->pressed = true;
  Button(w)->inside = Inside(w, x, y);
  JInvalidateWidget(w);
}

void ButtonMove(JWidget* w, int16_t x, int16_t y) {
  ButtonData* d = Button(w);
  if (!d->pressed || d->inside == Inside(w, x, y)) return;
  d->inside = !d->inside;
  JInvalidateWidget(w);
}

void ButtonUp(JWidget* w, int16_t x, int16_t y, uint8_t) {
  ButtonData* d = Button(w);
  const bool fire = d->pressed && Inside(w, x, y);
  d->pressed = d->inside = false;
  JInvalidateWidget(w);
  if (fire) JPressButton(w);
}

const JWidgetClass* ButtonClass() {
  static JWidgetClass* c = [] {
    JWidgetClass* k = JNewWidgetClass();
    k->construct = ButtonConstruct;
    k->destruct = ButtonDestruct;
    k->naturalSize = ButtonNaturalSize;
    k->draw = ButtonDraw;
    k->mouseDown = ButtonDown;
    k->mouseMove = ButtonMove;
    k->mouseUp = ButtonUp;
    return k;
  }();
  return c;
}

void ToggleConstruct(JWidget* w) {
  ToggleData* d = static_cast<ToggleData*>(JAlloc(sizeof(ToggleData)));
  *d = {JStrDup(""), 0, false, false, nullptr};
  w->classData = d;
}

void ToggleDestruct(JWidget* w) {
  JFree(Toggle(w)->title);
  JFree(w->classData);
  w->classData = nullptr;
}

bool ToggleNaturalSize(JWidget* w, int16_t* width, int16_t* height) {
  int16_t tw = 0, th = 0;
  tidge::TextSize(w, Toggle(w)->title, &tw, &th);
  *width = static_cast<int16_t>(kBox + 6 + tw);
  *height = static_cast<int16_t>(th > kBox ? th : kBox);
  return true;
}

void ToggleDraw(JWidget* w) {
  const ToggleData* d = Toggle(w);
  const int top = w->y + (w->height - kBox) / 2;
  const int l = w->x;
  const bool active = w->state & kJWidgetActive;
  tidge::Begin(w);
  tidge::Fill(l, top, l + kBox, top + kBox, active ? tidge::kField : tidge::kFace);
  tidge::Bevel(l, top, l + kBox, top + kBox, false);
  if (d->state) {
    // A tick drawn as a short and a long diagonal stroke.
    for (int i = 0; i < 3; ++i) tidge::Fill(l + 3 + i, top + 6 + i, l + 4 + i, top + 8 + i, tidge::kInk);
    for (int i = 0; i < 5; ++i) tidge::Fill(l + 6 + i, top + 8 - i, l + 7 + i, top + 10 - i, tidge::kInk);
  }
  int16_t tw = 0, th = 0;
  tidge::TextSize(w, d->title, &tw, &th);
  tidge::Text(l + kBox + 6, w->y + (w->height - th) / 2, d->title, active ? tidge::kInk : tidge::kGreyInk);
  tidge::End();
}

void ToggleDown(JWidget* w, int16_t, int16_t, uint8_t) { Toggle(w)->tracking = true; }

void ToggleUp(JWidget* w, int16_t x, int16_t y, uint8_t) {
  ToggleData* d = Toggle(w);
  const bool fire = d->tracking && Inside(w, x, y);
  d->tracking = false;
  if (fire) JSetToggleState(w, d->state ? 0 : 1, true);
}

bool ToggleKey(JWidget* w, JKeyEvent* key) {
  if (key->character != ' ') return false;
  JSetToggleState(w, Toggle(w)->state ? 0 : 1, true);
  return true;
}

const JWidgetClass* ToggleClass() {
  static JWidgetClass* c = [] {
    JWidgetClass* k = JNewWidgetClass();
    k->construct = ToggleConstruct;
    k->destruct = ToggleDestruct;
    k->naturalSize = ToggleNaturalSize;
    k->draw = ToggleDraw;
    k->mouseDown = ToggleDown;
    k->mouseUp = ToggleUp;
    k->key = ToggleKey;
    return k;
  }();
  return c;
}

bool IsButton(const JWidget* w) { return w && w->widgetClass == ButtonClass(); }
bool IsToggle(const JWidget* w) { return w && w->widgetClass == ToggleClass(); }

}  // namespace

JWidget* JNewButton(JWindow* window, JWidget* container, int16_t x, int16_t y, const char* title) {
  JWidget* w = JNewWidget(ButtonClass(), window, container, x, y);
  JSetButtonTitle(w, title);
  JSizeWidget(w, 0, 0);
  return w;
}

void JSetButtonTitle(JWidget* button, const char* title) {
  if (!IsButton(button)) return;
  Button(button)->title = tidge::Replace(Button(button)->title, title);
  JInvalidateWidget(button);
}

void JSetButtonDefault(JWidget* button, bool isDefault) {
  if (!IsButton(button) || Button(button)->isDefault == isDefault) return;
  Button(button)->isDefault = isDefault;
  JInvalidateWidget(button);
}

void JSetButtonAction(JWidget* button, JButtonAction action) {
  if (IsButton(button)) Button(button)->action = action;
}

void JPressButton(JWidget* button) {
  if (!IsButton(button) || !JWidgetActive(button) || !Button(button)->action) return;
  Button(button)->action(button);
}

JWidget* JNewToggle(JWindow* window, JWidget* container, int16_t x, int16_t y, const char* title) {
  JWidget* w = JNewWidget(ToggleClass(), window, container, x, y);
  JSetToggleTitle(w, title);
  JSizeWidget(w, 0, 0);
  return w;
}

void JSetToggleTitle(JWidget* toggle, const char* title) {
  if (!IsToggle(toggle)) return;
  Toggle(toggle)->title = tidge::Replace(Toggle(toggle)->title, title);
  JInvalidateWidget(toggle);
}

void JSetToggleState(JWidget* toggle, uint8_t state, bool notify) {
  if (!IsToggle(toggle)) return;
  ToggleData* d = Toggle(toggle);
  if (d->state == state && !d->force) return;
  d->force = false;
  d->state = state;
  JInvalidateWidget(toggle);
  if (notify && d->action) d->action(toggle);
}

void JForceToggle(JWidget* toggle) {
  if (IsToggle(toggle)) Toggle(toggle)->force = true;
}

uint8_t JToggleState(const JWidget* toggle) {
  return IsToggle(toggle) ? static_cast<const ToggleData*>(toggle->classData)->state : 0;
}

void JSetToggleAction(JWidget* toggle, JToggleAction action) {
  if (IsToggle(toggle)) Toggle(toggle)->action = action;
}
