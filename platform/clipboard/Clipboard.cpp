#include "platform/clipboard/Clipboard.h"

#include <optional>

namespace platform::clipboard {
namespace {

struct Store {
  uintptr_t owner = 0;
  std::optional<std::string> text;
  std::optional<MetafilePicture> picture;
  // The last picture taken from the desktop, kept until the clipboard is closed so that
  // the pointer handed out stays valid while the reader copies it.
  std::optional<MetafilePicture> desktopPicture;
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
  s.owner = owner;
  return true;
}

bool Close(uintptr_t owner) {
  if (!HeldBy(owner)) return false;
  TheStore().owner = 0;
  TheStore().desktopPicture.reset();
  return true;
}

bool IsOpen() { return TheStore().owner != 0; }

bool Empty(uintptr_t owner) {
  if (!HeldBy(owner)) return false;
  TheStore().text.reset();
  TheStore().picture.reset();
  return true;
}

bool SetText(uintptr_t owner, const std::string& text) {
  if (!HeldBy(owner)) return false;
  TheStore().text = text;
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
    case kText: return s.text.has_value();
    case kMetafilePicture:
      return s.picture.has_value() || (desktopSource && desktopSource->offersPicture());
  }
  return false;
}

const std::string* GetText() {
  const Store& s = TheStore();
  return s.owner != 0 && s.text ? &*s.text : nullptr;
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

}  // namespace platform::clipboard
