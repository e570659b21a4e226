// Progress bars and spacers.
#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"

namespace {

constexpr int16_t kBarHeight = 14;

struct BarData {
  uint32_t value;
  uint32_t maximum;
};

BarData* Data(JWidget* w) { return static_cast<BarData*>(w->classData); }

void BarConstruct(JWidget* w) {
  BarData* d = static_cast<BarData*>(JAlloc(sizeof(BarData)));
  *d = {0, 100};
  w->classData = d;
}

void FreeData(JWidget* w) {
  JFree(w->classData);
  w->classData = nullptr;
}

void BarDraw(JWidget* w) {
  const BarData* d = Data(w);
  const int l = w->x, t = w->y, r = w->x + w->width, b = w->y + w->height;
  tidge::Begin(w);
  tidge::Fill(l, t, r, b, tidge::kField);
  tidge::Bevel(l, t, r, b, false);
  const int inner = w->width - 2;
  const uint32_t v = d->value > d->maximum ? d->maximum : d->value;
  const int filled = d->maximum ? static_cast<int>(static_cast<uint64_t>(inner) * v / d->maximum) : 0;
  tidge::Fill(l + 1, t + 1, l + 1 + filled, b - 1, tidge::kSelection);
  tidge::End();
}

const JWidgetClass* BarClass() {
  static JWidgetClass* c = [] {
    JWidgetClass* k = JNewWidgetClass();
    k->construct = BarConstruct;
    k->destruct = FreeData;
    k->draw = BarDraw;
    return k;
  }();
  return c;
}

void SpacerNothing(JWidget*) {}

const JWidgetClass* SpacerClass() {
  static JWidgetClass* c = [] {
    JWidgetClass* k = JNewWidgetClass();
    k->construct = SpacerNothing;
    k->destruct = SpacerNothing;
    return k;
  }();
  return c;
}

bool IsBar(const JWidget* w) { return w && w->widgetClass == BarClass(); }

void SetValue(JWidget* bar, uint32_t value) {
  BarData* d = Data(bar);
  if (value > d->maximum) value = d->maximum;
  if (value == d->value) return;
  d->value = value;
  JInvalidateWidget(bar);
}

}  // namespace

JWidget* JNewProgressBar(JWindow* window, JWidget* container, int16_t x, int16_t y, int16_t width) {
  JWidget* w = JNewWidget(BarClass(), window, container, x, y);
  JSizeWidget(w, width, kBarHeight);
  return w;
}

void JSetProgressMaximum(JWidget* bar, uint32_t maximum) {
  if (!IsBar(bar)) return;
  Data(bar)->maximum = maximum;
  if (Data(bar)->value > maximum) Data(bar)->value = maximum;
  JInvalidateWidget(bar);
}

void JSetProgressValue(JWidget* bar, uint32_t value) {
  if (IsBar(bar)) SetValue(bar, value);
}

void JIncreaseProgress(JWidget* bar, uint32_t by) {
  if (!IsBar(bar)) return;
  const uint32_t v = Data(bar)->value;
  SetValue(bar, by > UINT32_MAX - v ? UINT32_MAX : v + by);
}

uint32_t JProgressValue(const JWidget* bar) {
  return IsBar(bar) ? static_cast<const BarData*>(bar->classData)->value : 0;
}

JWidget* JNewSpacer(JWindow* window, JWidget* container, int16_t x, int16_t y, int16_t width, int16_t height) {
  JWidget* w = JNewWidget(SpacerClass(), window, container, x, y);
  JSizeWidget(w, width, height);
  return w;
}
