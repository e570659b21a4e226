// Popup buttons: the widget class, its default text items and its drawing.
#include "jindep/Ji_tidge_popup.h"

#include <cstring>

#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_popup_state.h"
#include "jindep/memory.h"
#include "jwin/J_clip.h"
#include "jwin/J_window.h"

namespace {

// --- default text items ------------------------------------------------------------------

void TextMeasure(JWidget* w, void* item, int16_t* width, int16_t* height) {
  tidge::TextSize(w, static_cast<const char*>(item), width, height);
  if (!item) *width = 0;
}

void TextDraw(JWidget* w, void* item, JRect area, bool highlighted) {
  tidge::Begin(w);
  tidge::Text(area.left, area.top, static_cast<const char*>(item), highlighted ? tidge::kLight : tidge::kInk);
  tidge::End();
}

void* TextMake(const void* source) { return source ? JStrDup(static_cast<const char*>(source)) : nullptr; }
const void* TextValue(void* item) { return item; }
void TextFree(void* item) { JFree(item); }
bool TextEnabled(void* item) { return item != nullptr; }

constexpr JPopupItemProcs kTextItems = {TextMeasure, TextDraw, TextMake, TextValue, TextFree, TextEnabled};

void FreeItems(PopupButton* p) {
  for (uint16_t i = 0; i < p->itemCount; ++i) p->procs.free(p->items[i]);
  JFree(p->items);
  JFree(p->itemWidths);
  JFree(p->itemHeights);
  p->items = nullptr;
  p->itemWidths = p->itemHeights = nullptr;
  p->itemCount = 0;
}

void Construct(JWidget* w) {
  PopupButton* p = static_cast<PopupButton*>(JAlloc(sizeof(PopupButton)));
  std::memset(p, 0, sizeof *p);
  p->shadow = p->checkMark = true;
  p->procs = kTextItems;
  w->classData = p;
}

void Destruct(JWidget* w) {
  if (PopupListIsOpenFor(w)) PopupListClose();
  FreeItems(PopupOf(w));
  JFree(w->classData);
  w->classData = nullptr;
}

int16_t HeightFor(const PopupButton* p) { return static_cast<int16_t>(p->tallest + 4 + (p->shadow ? 1 : 0)); }

// The arrow and tick room follow the height; the width follows them and the widest item.
void Derive(PopupButton* p, int16_t height) {
  const int a = height / 6 + 1;
  p->arrowWidth = static_cast<int16_t>(2 * a);
  p->tickWidth = p->checkMark ? static_cast<int16_t>((2 * a / 6) * 4) : 0;
  p->tickSpace = p->checkMark ? static_cast<int16_t>(p->tickWidth + 3) : 0;
}

bool NaturalSize(JWidget* w, int16_t* width, int16_t* height) {
  PopupButton* p = PopupOf(w);
  *height = HeightFor(p);
  Derive(p, *height);
  *width = static_cast<int16_t>(p->arrowWidth + p->widest + 12 + p->tickSpace + (p->shadow ? 1 : 0));
  return true;
}

void SetSize(JWidget* w, int16_t width, int16_t height) {
  PopupButton* p = PopupOf(w);
  int16_t nw = 0, nh = 0;
  NaturalSize(w, &nw, &nh);
  JInvalidateWidget(w);
  w->width = width ? width : nw;
  w->height = height ? height : nh;
  Derive(p, w->height);
  p->drawWidth = static_cast<int16_t>(w->width - (p->shadow ? 1 : 0));
  p->drawHeight = static_cast<int16_t>(w->height - (p->shadow ? 1 : 0));
  JInvalidateWidget(w);
}

void Draw(JWidget* w) {
  PopupButton* p = PopupOf(w);
  const int l = w->x, t = w->y, r = l + p->drawWidth, b = t + p->drawHeight;
  tidge::Begin(w);
  tidge::Fill(l, t, r, b, tidge::kField);
  tidge::ShadowFrame(l, t, r, b, p->shadow);
  const bool active = w->state & kJWidgetActive;
  PopupTriangle(r - 2 - p->arrowWidth / 2 - (p->drawHeight / 12 + 2), t + p->drawHeight / 2, p->drawHeight, false,
                active ? tidge::kInk : tidge::kGreyInk);
  if (p->selected < p->itemCount) {
    JRect area = JRectMake(static_cast<int16_t>(l + p->tickSpace + 6), static_cast<int16_t>(t + 2),
                           static_cast<int16_t>(r - p->arrowWidth - 4), static_cast<int16_t>(b - 2));
    const int16_t iw = p->itemWidths[p->selected], room = static_cast<int16_t>(area.right - area.left);
    if (p->alignment == kJPopupCentred) area.left = static_cast<int16_t>(area.left + (room - iw) / 2);
    if (p->alignment == kJPopupRight) area.left = static_cast<int16_t>(area.right - iw);
    area.top = static_cast<int16_t>(t + (p->drawHeight - p->itemHeights[p->selected]) / 2);
    JClipRecord* saved = JSaveClip();
    JSetClipRect(JRectMake(static_cast<int16_t>(l + p->tickSpace + 6), area.top, area.right, area.bottom));
    p->procs.draw(w, p->items[p->selected], area, false);
    JRestoreClip(saved);
  }
  tidge::End();
}

void MouseDown(JWidget* w, int16_t, int16_t, uint8_t modifiers) {
  // Only the main button opens the list, and only one list at a time.
  if (modifiers & (kJModCtrl | kJModAlt) || JOpenPopupList() || PopupOf(w)->itemCount == 0) return;
  PopupListOpen(w);
}

void MouseMove(JWidget* w, int16_t x, int16_t y) {
  if (PopupListIsOpenFor(w)) PopupListPointer(w, x, y);
}

void MouseUp(JWidget* w, int16_t x, int16_t y, uint8_t modifiers) {
  if (PopupListIsOpenFor(w)) PopupListRelease(w, x, y, modifiers);
}

// The next item that can be chosen from `from` in steps of `step`, or `from` itself.
uint16_t Enabled(const PopupButton* p, int from, int step) {
  for (int i = from + step; i >= 0 && i < p->itemCount; i += step)
    if (p->procs.enabled(p->items[i])) return static_cast<uint16_t>(i);
  return static_cast<uint16_t>(from);
}

bool Key(JWidget* w, JKeyEvent* key) {
  if (PopupListIsOpenFor(w)) return PopupListKey(w, key->character);
  PopupButton* p = PopupOf(w);
  switch (key->character) {
    case kJCharUp: PopupChoose(w, Enabled(p, p->selected, -1)); return true;
    case kJCharDown: PopupChoose(w, Enabled(p, p->selected, 1)); return true;
    case kJCharHome: PopupChoose(w, Enabled(p, -1, 1)); return true;
    case kJCharEnd: PopupChoose(w, Enabled(p, p->itemCount, -1)); return true;
    default: return false;
  }
}

const JWidgetClass* PopupClass() {
  static JWidgetClass* c = [] {
    JWidgetClass* k = JNewWidgetClass();
    k->construct = Construct;
    k->destruct = Destruct;
    k->naturalSize = NaturalSize;
    k->setSize = SetSize;
    k->draw = Draw;
    k->mouseDown = MouseDown;
    k->mouseMove = MouseMove;
    k->mouseUp = MouseUp;
    k->key = Key;
    return k;
  }();
  return c;
}

}  // namespace

PopupButton* PopupOf(const JWidget* w) { return static_cast<PopupButton*>(w->classData); }

void PopupTriangle(int left, int middle, int areaHeight, bool up, uint32_t colour) {
  const int t = areaHeight / 12 + 2;
  const int top = middle - t / 2;
  for (int i = 0; i < t; ++i) {
    const int row = up ? top + t - 1 - i : top + i;
    tidge::Fill(left + i, row, left + 2 * t - i, row + 1, colour);
  }
}

void PopupChoose(JWidget* w, uint16_t index) {
  PopupButton* p = PopupOf(w);
  if (index >= p->itemCount || index == p->selected || !p->procs.enabled(p->items[index])) return;
  p->selected = index;
  JInvalidateWidget(w);
  if (p->onChange) p->onChange(w, index);
}

JWidget* JNewPopup(JWindow* window, JWidget* container, int16_t x, int16_t y) {
  JWidget* w = JNewWidget(PopupClass(), window, container, x, y);
  JSizeWidget(w, 0, 0);
  return w;
}

bool JIsPopup(const JWidget* w) { return w && w->widgetClass == PopupClass() && w->classData; }

void JSetPopupItems(JWidget* popup, uint16_t count, const void* const* sources) {
  if (!JIsPopup(popup)) return;
  PopupButton* p = PopupOf(popup);
  if (PopupListIsOpenFor(popup)) PopupListClose();
  FreeItems(p);
  p->items = static_cast<void**>(JAlloc(sizeof(void*) * (count + 1u)));
  p->itemWidths = static_cast<int16_t*>(JAlloc(sizeof(int16_t) * (count + 1u)));
  p->itemHeights = static_cast<int16_t*>(JAlloc(sizeof(int16_t) * (count + 1u)));
  p->itemCount = count;
  p->widest = p->tallest = 0;
  p->listHeight = 1;
  for (uint16_t i = 0; i < count; ++i) {
    p->items[i] = p->procs.make(sources[i]);
    p->procs.measure(popup, p->items[i], &p->itemWidths[i], &p->itemHeights[i]);
    if (p->itemWidths[i] > p->widest) p->widest = p->itemWidths[i];
    if (p->itemHeights[i] > p->tallest) p->tallest = p->itemHeights[i];
    p->listHeight = static_cast<int16_t>(p->listHeight + p->itemHeights[i] + 1);
  }
  p->selected = 0;
  popup->width = popup->height = 0;  // the natural size is taken again even when equal
  JSizeWidget(popup, 0, 0);
  JInvalidateWidget(popup);
}

uint16_t JPopupItemCount(const JWidget* popup) { return JIsPopup(popup) ? PopupOf(popup)->itemCount : 0; }

void JSetPopupSelection(JWidget* popup, uint16_t index) {
  if (!JIsPopup(popup) || index >= PopupOf(popup)->itemCount || PopupOf(popup)->selected == index) return;
  PopupOf(popup)->selected = index;
  JInvalidateWidget(popup);
}

uint16_t JPopupSelection(const JWidget* popup) { return JIsPopup(popup) ? PopupOf(popup)->selected : 0; }

const void* JPopupItemValue(const JWidget* popup, uint16_t index) {
  if (!JIsPopup(popup) || index >= PopupOf(popup)->itemCount) return nullptr;
  return PopupOf(popup)->procs.value(PopupOf(popup)->items[index]);
}

const void* JPopupSelectedValue(const JWidget* popup) { return JPopupItemValue(popup, JPopupSelection(popup)); }

void JSetPopupOnChange(JWidget* popup, JPopupChangeProc proc) {
  if (JIsPopup(popup)) PopupOf(popup)->onChange = proc;
}

void JSetPopupAlignment(JWidget* popup, uint16_t alignment) {
  if (!JIsPopup(popup)) return;
  PopupOf(popup)->alignment = alignment;
  JInvalidateWidget(popup);
}

void JSetPopupShadow(JWidget* popup, bool shadow) {
  if (!JIsPopup(popup)) return;
  PopupOf(popup)->shadow = shadow;
  SetSize(popup, popup->width, popup->height);
}

void JSetPopupCheckMark(JWidget* popup, bool checkMark) {
  if (!JIsPopup(popup)) return;
  PopupOf(popup)->checkMark = checkMark;
  Derive(PopupOf(popup), popup->height);
}

void JSetPopupItemProcs(JWidget* popup, const JPopupItemProcs* procs) {
  if (JIsPopup(popup) && procs) PopupOf(popup)->procs = *procs;
}
