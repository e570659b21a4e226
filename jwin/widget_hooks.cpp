#include "jwin/widget_hooks.h"

namespace {

void NoDraw(JWindow*) {}
bool NoPress(JWindow*, int16_t, int16_t, uint8_t) { return false; }
bool NoMove(JWindow*, int16_t, int16_t) { return false; }
bool NoKey(JWindow*, JKeyEvent*) { return false; }
bool NoFocus(JWindow*, bool) { return false; }
JWidget* NoWidgetAt(JWindow*, int16_t, int16_t) { return nullptr; }
void NoPointer(JWindow*, JWidget*) {}
JWidget* NoField() { return nullptr; }
void NoEndEdit(JWidget*) {}
bool NoSelection(const JWidget*) { return false; }
bool NoEdit(JWidget*) { return false; }
void NoChange() {}

constexpr JWidgetHooks kNone = {NoDraw, NoPress, NoMove, NoPress, NoKey, NoFocus, NoWidgetAt, NoPointer,
                                NoDraw, NoField, NoEndEdit, NoSelection, NoEdit, NoEdit, NoEdit, NoChange};
JWidgetHooks installed = kNone;

}  // namespace

void JSetWidgetHooks(const JWidgetHooks* hooks) { installed = hooks ? *hooks : kNone; }

const JWidgetHooks& JWidgetsOf() { return installed; }
