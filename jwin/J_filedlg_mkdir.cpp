// Create Directory: a small modal dialog asking for a name, made in the shown directory
// (or at a full path); on failure it says so and stays open.
#include <cstring>

#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"
#include "jindep/string_resources.h"
#include "jwin/J_alert.h"
#include "jwin/J_event.h"
#include "jwin/J_filedlg_state.h"
#include "jwin/J_gc.h"
#include "jwin/desktop_view.h"

namespace {

constexpr int16_t kMargin = 10;
constexpr int16_t kFieldWidth = 300;
// The name field takes at most this many characters, as typed.
constexpr size_t kNameMax = 80;

struct CreateDialog {
  JFileDialog* owner;
  JWindow* window;
  JWidget* field;
  JWidget* ok;
  JWidget* cancel;
  bool created;
};

CreateDialog* Of(JWidget* w) { return reinterpret_cast<CreateDialog*>(w->word1); }

// Characters typed beyond the limit are refused, as a field of that size would.
void Limit(JWidget* field) {
  const char* text = JGetFieldText(field);
  size_t characters = 0, cut = 0;
  for (size_t i = 0; text[i]; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (++characters > kNameMax) {
      cut = i;
      break;
    }
  }
  if (cut == 0) return;
  char* kept = static_cast<char*>(JAlloc(cut + 1));
  std::memcpy(kept, text, cut);
  kept[cut] = '\0';
  JSetFieldText(field, kept);
  JFree(kept);
}

void OkPressed(JWidget* button) {
  CreateDialog* c = Of(button);
  const char* name = JGetFieldText(c->field);
  // A name starting with '/' is a full path; any other goes into the shown directory.
  const char* base = name[0] == '/' ? "" : c->owner->directory;
  const size_t bn = std::strlen(base), nn = std::strlen(name);
  char* path = static_cast<char*>(JAlloc(bn + nn + 1));
  std::memcpy(path, base, bn);
  std::memcpy(path + bn, name, nn + 1);
  if (*name && JFileCreateDirectory(path)) {
    c->created = true;
    JDisposeWindow(c->window);
  } else {
    JFileDialogMessage(c->window, kStrDirectoryErrorTitle, kStrDirectoryError, path, nullptr, false);
    JFileDialogNotify(c->window, nullptr);
  }
  JFree(path);
}

void CancelPressed(JWidget* button) { JDisposeWindow(Of(button)->window); }

void Draw(JWindow* window) {
  int16_t w = 0, h = 0;
  JGetWindowContentSize(window, &w, &h);
  JSetGC(JDefaultGC());
  tidge::Fill(0, 0, w, h, tidge::kFace);
  tidge::End();
}

void Key(JWindow* window, JKeyEvent* key) {
  CreateDialog* c = static_cast<CreateDialog*>(window->data);
  if (key->character == kJCharReturn)
    JPressButton(c->ok);
  else if (key->character == kJCharEscape)
    JPressButton(c->cancel);
}

JWidget* Own(CreateDialog* c, JWidget* w) {
  w->word1 = reinterpret_cast<uintptr_t>(c);
  JShowWidget(w);
  return w;
}

}  // namespace

void JFileDialogCreateDirectory(JFileDialog* d) {
  CreateDialog c{d, nullptr, nullptr, nullptr, nullptr, false};
  c.window = JNewWindow(d->window, JFileDialogText(kStrCreateDirectoryTitle), kJWindowDialog | kJWindowSystemMenu);
  if (!c.window) return;
  c.window->data = &c;
  Own(&c, JNewLabel(c.window, nullptr, kMargin, kMargin, JFileDialogText(kStrDirectoryNameLabel)));
  c.field = Own(&c, JNewTextField(c.window, nullptr, kMargin, kMargin + 20, ""));
  JSizeWidget(c.field, kFieldWidth, c.field->height);
  JSetFieldAction(c.field, Limit);
  const int16_t buttonTop = static_cast<int16_t>(c.field->y + c.field->height + 12);
  c.ok = Own(&c, JNewButton(c.window, nullptr, 0, buttonTop, JFileDialogText(kStrOkButton)));
  c.cancel = Own(&c, JNewButton(c.window, nullptr, 0, buttonTop, JFileDialogText(kStrCancelButton)));
  const int16_t buttonWidth = c.cancel->width > c.ok->width ? c.cancel->width : c.ok->width;
  const int16_t width = static_cast<int16_t>(kFieldWidth + 2 * kMargin);
  JSizeWidget(c.ok, buttonWidth, c.ok->height);
  JSizeWidget(c.cancel, buttonWidth, c.cancel->height);
  JMoveWidget(c.cancel, static_cast<int16_t>(width - kMargin - buttonWidth), buttonTop);
  JMoveWidget(c.ok, static_cast<int16_t>(width - kMargin - 2 * buttonWidth - 8), buttonTop);
  JSetButtonDefault(c.ok, true);
  JSetButtonAction(c.ok, OkPressed);
  JSetButtonAction(c.cancel, CancelPressed);
  JSetHandler(c.window, kJSlotDraw, Draw);
  JSetHandler(c.window, kJSlotKeyDown, Key);
  JSizeWindow(c.window, width, static_cast<int16_t>(buttonTop + c.ok->height + kMargin));

  JCentreInDocumentArea(c.window);
  JSetFocus(c.window, c.field);
  JShowAndActivateWindow(c.window);
  JProcessPendingPaint();
  JFileDialogNotify(c.window, nullptr);
  JRunModal(c.window);
  if (c.created) JFileDialogRefresh(d);
  if (!(d->window->state & kJWindowClosed)) {
    JSelectWindow(d->window);
    JFileDialogNotify(d->window, nullptr);
  }
}
