#include "platform/clipboard/Clipboard.h"

#include <optional>

namespace platform::clipboard {
namespace {

struct Store {
  uintptr_t owner = 0;
  std::optional<std::string> text;
  std::optional<MetafilePicture> picture;
  // Whether the text changed while the clipboard is open: the desktop is told on closing.
  bool textChanged = false;
  // Another program replaced the desktop's clipboard while this one was open; what a
  // reader sees does not change under it, so the held text is dropped on closing.
  bool desktopNewer = false;
  // The last picture and text taken from the desktop, kept until the clipboard is closed
  // so that the pointers handed out stay valid while the reader copies them.
  std::optional<MetafilePicture> desktopPicture;
  std::optional<std::string> desktopText;
};

Store& TheStore() {
  static Store store;
  return store;
}

DesktopSource* desktopSource = nullptr;

bool HeldBy(uintptr_t owner) { return owner != 0 && TheStore().owner == owner; }

}  // namespace

bool Open(uintptr_t owner) {
  Store& s = TheStore();
  if (owner == 0 || s.owner != 0) return false;
  // Another program's copy since the last look makes the text held here stale first.
  if (desktopSource) desktopSource->catchUp();
  s.owner = owner;
  return true;
}

bool Close(uintptr_t owner) {
  if (!HeldBy(owner)) return false;
  Store& s = TheStore();
  s.owner = 0;
  s.desktopPicture.reset();
  s.desktopText.reset();
  if (s.desktopNewer && !s.textChanged) s.text.reset();
  s.desktopNewer = false;
  if (s.textChanged) {
    s.textChanged = false;
    if (desktopSource) desktopSource->publishText(s.text ? &*s.text : nullptr);
  }
  return true;
}

bool IsOpen() { return TheStore().owner != 0; }

bool Empty(uintptr_t owner) {
  if (!HeldBy(owner)) return false;
  Store& s = TheStore();
  if (s.text) s.textChanged = true;
  s.text.reset();
  s.picture.reset();
  return true;
}

bool SetText(uintptr_t owner, const std::string& text) {
  if (!HeldBy(owner)) return false;
  TheStore().text = text;
  TheStore().textChanged = true;
  return true;
}

bool SetMetafilePicture(uintptr_t owner, const MetafilePicture& picture) {
  if (!HeldBy(owner)) return false;
  TheStore().picture = picture;
  return true;
}

bool HasFormat(Format format) {
  const Store& s = TheStore();
  if (s.owner == 0) return false;
  switch (format) {
    case kText: return s.text.has_value() || (desktopSource && desktopSource->offersText());
    case kMetafilePicture:
      return s.picture.has_value() || (desktopSource && desktopSource->offersPicture());
  }
  return false;
}

const std::string* GetText() {
  Store& s = TheStore();
  if (s.owner == 0) return nullptr;
  if (s.text) return &*s.text;
  if (!desktopSource) return nullptr;
  s.desktopText = desktopSource->takeText();
  return s.desktopText ? &*s.desktopText : nullptr;
}

const MetafilePicture* GetMetafilePicture() {
  Store& s = TheStore();
  if (s.owner == 0) return nullptr;
  if (s.picture) return &*s.picture;
  if (!desktopSource) return nullptr;
  s.desktopPicture = desktopSource->takePicture();
  return s.desktopPicture ? &*s.desktopPicture : nullptr;
}

void Reset() { TheStore() = Store{}; }

void SetDesktopSource(DesktopSource* source) { desktopSource = source; }

void DesktopChanged() {
  Store& s = TheStore();
  if (s.owner != 0)
    s.desktopNewer = true;
  else
    s.text.reset();
}

}  // namespace platform::clipboard
