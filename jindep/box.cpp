#include "jindep/box.h"

#include "jindep/Ji_tidge_paint.h"
#include "jindep/memory.h"
#include "jwin/J_inval.h"

namespace {

JBox* Data(JWidget* w) { return static_cast<JBox*>(w->classData); }

JWidget* Child(JBox* b, uint32_t i) { return static_cast<JWidget**>(b->children.block)[i]; }

bool Counted(JWidget* box, JWidget* child) {
  return !(box->state & kJWidgetVisible) || (child->state & kJWidgetVisible);
}

// The children as plain rectangles, in a temporary array the caller frees.
JBoxChild* Rectangles(JWidget* box) {
  JBox* b = Data(box);
  JBoxChild* r = static_cast<JBoxChild*>(JAlloc((b->children.count + 1) * sizeof(JBoxChild)));
  for (uint32_t i = 0; i < b->children.count; ++i) {
    JWidget* c = Child(b, i);
    r[i] = {c->x, c->y, c->width, c->height, Counted(box, c)};
  }
  return r;
}

void ComputeNatural(JWidget* box) {
  JBox* b = Data(box);
  JBoxChild* r = Rectangles(box);
  JBoxNaturalSize(&b->settings, r, b->children.count, &b->naturalWidth, &b->naturalHeight);
  JFree(r);
}

void Layout(JWidget* box) {
  JBox* b = Data(box);
  JBoxChild* r = Rectangles(box);
  JBoxLayout(&b->settings, b->naturalWidth, b->naturalHeight, box->x, box->y, box->width, box->height, r,
             b->children.count);
  for (uint32_t i = 0; i < b->children.count; ++i) {
    JWidget* c = Child(b, i);
    if (c->x != r[i].x || c->y != r[i].y) c->widgetClass->move(c, r[i].x, r[i].y);
  }
  JFree(r);
}

void InvalidateFrame(JWidget* box, int16_t width, int16_t height) {
  if (!box->window) return;
  int16_t l = box->x, t = box->y, r = static_cast<int16_t>(box->x + width), bt = static_cast<int16_t>(box->y + height);
  JInvalidateRect(box->window, JRectMake(l, t, r, static_cast<int16_t>(t + 2)));
  JInvalidateRect(box->window, JRectMake(l, static_cast<int16_t>(bt - 2), r, bt));
  JInvalidateRect(box->window, JRectMake(l, t, static_cast<int16_t>(l + 2), bt));
  JInvalidateRect(box->window, JRectMake(static_cast<int16_t>(r - 2), t, r, bt));
}

void SetSize(JWidget* box, int16_t width, int16_t height) {
  JBox* b = Data(box);
  ComputeNatural(box);
  if (width == 0) width = b->naturalWidth;
  if (height == 0) height = b->naturalHeight;
  bool shrinking = width < b->naturalWidth || height < b->naturalHeight;
  if (shrinking) {
    JInvalidateWidget(box);
  } else if ((width != box->width || height != box->height) && b->settings.framed) {
    InvalidateFrame(box, box->width, box->height);
    InvalidateFrame(box, width, height);
  }
  box->width = width;
  box->height = height;
  if (shrinking) JInvalidateWidget(box);
  Layout(box);
}

void Construct(JWidget* w) {
  JBox* b = static_cast<JBox*>(JAlloc(sizeof(JBox)));
  b->children = {nullptr, 0};
  b->settings = JBoxDefaultSettings();
  b->naturalWidth = b->naturalHeight = 16;
  b->filled = 0;
  b->fillColour = {0xD4D4, 0xD0D0, 0xC8C8};  // the toolkit's face colour
  b->pressed = nullptr;
  w->classData = b;
}

void Detach(JWidget* box, JWidget* child) {
  JBox* b = Data(box);
  if (b->pressed == child) b->pressed = nullptr;
  for (uint32_t i = 0; i < b->children.count; ++i) {
    if (Child(b, i) == child) {
      JArrayRemove(&b->children, sizeof(JWidget*), i);
      return;
    }
  }
}

void Destruct(JWidget* w) {
  JBox* b = Data(w);
  // Disposing a child calls back into RemoveChildSlot, which shortens the list.
  while (b->children.count > 0) JDisposeWidget(Child(b, b->children.count - 1));
  JArrayFree(&b->children);
  JFree(b);
  w->classData = nullptr;
}

bool NaturalSize(JWidget* w, int16_t* width, int16_t* height) {
  ComputeNatural(w);
  *width = Data(w)->naturalWidth;
  *height = Data(w)->naturalHeight;
  return true;
}

void Move(JWidget* w, int16_t x, int16_t y) {
  JInvalidateWidget(w);
  w->x = x;
  w->y = y;
  JInvalidateWidget(w);
  Layout(w);
}

uint32_t ToPaint(uint16_t c) { return JColourChannel8(c); }

void Draw(JWidget* w) {
  JBox* b = Data(w);
  int l = w->x, t = w->y, r = w->x + w->width, bt = w->y + w->height;
  tidge::Begin(w);
  if (b->filled)
    tidge::Fill(l, t, r, bt,
                ToPaint(b->fillColour.red) << 16 | ToPaint(b->fillColour.green) << 8 | ToPaint(b->fillColour.blue));
  if (b->settings.framed) tidge::Bevel(l, t, r, bt, false);
  tidge::End();
  for (uint32_t i = 0; i < b->children.count; ++i) {
    JWidget* c = Child(b, i);
    if (c->state & kJWidgetVisible) c->widgetClass->draw(c);
  }
}

void ShowHide(JWidget* w, bool) { JBoxLayoutAgain(w); }

// A press, move or release goes to the visible child under the point.
JWidget* ChildAt(JWidget* w, int16_t x, int16_t y) {
  JBox* b = Data(w);
  for (uint32_t i = b->children.count; i-- > 0;) {
    JWidget* c = Child(b, i);
    if ((c->state & kJWidgetVisible) && c->widgetClass->hitTest(c, x, y)) return c;
  }
  return nullptr;
}

// The child that took a press gets the moves and the release wherever they happen, as
// a widget in a window does: a button slid off and released elsewhere pops up again.
void MouseDown(JWidget* w, int16_t x, int16_t y, uint8_t m) {
  JWidget* c = ChildAt(w, x, y);
  Data(w)->pressed = c && (c->state & kJWidgetActive) ? c : nullptr;
  if (c) JPressWidget(c, x, y, m);
}
void MouseUp(JWidget* w, int16_t x, int16_t y, uint8_t m) {
  JWidget* c = Data(w)->pressed;
  Data(w)->pressed = nullptr;
  if (c) c->widgetClass->mouseUp(c, x, y, m);
}
void MouseMove(JWidget* w, int16_t x, int16_t y) {
  JWidget* c = Data(w)->pressed ? Data(w)->pressed : ChildAt(w, x, y);
  if (c) c->widgetClass->mouseMove(c, x, y);
}

void AddChildSlot(JWidget* box, JWidget* child) {
  child->container = box;
  JArrayAppend(&Data(box)->children, sizeof(JWidget*), &child);
  SetSize(box, box->width, box->height);
}

void RemoveChildSlot(JWidget* box, JWidget* child) {
  JBoxRemoveChild(box, child);
  child->widgetClass->destruct(child);
}

void ResizeChild(JWidget* box, JWidget* child, int16_t width, int16_t height) {
  child->widgetClass->setSize(child, width, height);
  JBoxLayoutAgain(box);
}

void MoveChildSlot(JWidget* box, JWidget* child, int16_t x, int16_t y) {
  child->widgetClass->move(child, x, y);
}

const JWidgetClass* BoxClass() {
  static JWidgetClass* c = nullptr;
  if (!c) {
    c = JNewWidgetClass();
    c->construct = Construct;
    c->destruct = Destruct;
    c->naturalSize = NaturalSize;
    c->setSize = SetSize;
    c->move = Move;
    c->draw = Draw;
    c->show = ShowHide;
    c->hide = ShowHide;
    c->mouseDown = MouseDown;
    c->mouseUp = MouseUp;
    c->mouseMove = MouseMove;
    c->addChild = AddChildSlot;
    c->removeChild = RemoveChildSlot;
    c->resizeChild = ResizeChild;
    c->moveChild = MoveChildSlot;
  }
  return c;
}

void Changed(JWidget* box) { SetSize(box, box->width, box->height); }

}  // namespace

JWidget* JNewBox(JWindow* window, JWidget* container, int16_t x, int16_t y) {
  JWidget* w = JNewWidget(BoxClass(), window, container, x, y);
  JSizeWidget(w, 0, 0);
  return w;
}

JBox* JBoxOf(JWidget* box) { return Data(box); }

bool JIsBox(const JWidget* w) { return w && w->widgetClass == BoxClass(); }

void JBoxRemoveChild(JWidget* box, JWidget* child) {
  Detach(box, child);
  JBoxLayoutAgain(box);
}

uint32_t JBoxChildCount(JWidget* box) { return Data(box)->children.count; }

JWidget* JBoxChildAt(JWidget* box, uint32_t index) {
  JBox* b = Data(box);
  return index < b->children.count ? Child(b, index) : nullptr;
}

void JBoxSetSpacing(JWidget* box, int16_t spacing) {
  Data(box)->settings.spacing = spacing;
  Changed(box);
}

void JBoxSetFramed(JWidget* box, bool framed) {
  Data(box)->settings.framed = framed;
  Changed(box);
}

void JBoxSetOrientation(JWidget* box, bool horizontal, uint16_t alignment) {
  Data(box)->settings.horizontal = horizontal;
  Data(box)->settings.alignment = alignment;
  Changed(box);
}

void JBoxSetHorizontal(JWidget* box, bool horizontal) { JBoxSetOrientation(box, horizontal, Data(box)->settings.alignment); }

void JBoxSetAlignment(JWidget* box, uint16_t alignment) {
  JBoxSetOrientation(box, Data(box)->settings.horizontal, alignment);
}

void JBoxSetPacked(JWidget* box, bool packed) {
  Data(box)->settings.packed = packed;
  Changed(box);
}

void JBoxSetOuterGaps(JWidget* box, bool outerGaps) {
  Data(box)->settings.outerGaps = outerGaps;
  Changed(box);
}

void JBoxSetMargins(JWidget* box, int16_t left, int16_t top, int16_t right, int16_t bottom) {
  JBoxSettings& s = Data(box)->settings;
  s.marginLeft = left;
  s.marginTop = top;
  s.marginRight = right;
  s.marginBottom = bottom;
}

void JBoxSetFillColour(JWidget* box, const JColour* colour) {
  Data(box)->fillColour = *colour;
  if (Data(box)->filled) JInvalidateWidget(box);
}

void JBoxSetFilled(JWidget* box, bool filled) {
  if (Data(box)->filled == filled) return;
  Data(box)->filled = filled;
  JInvalidateWidget(box);
}

void JBoxLayoutAgain(JWidget* box) { Changed(box); }
