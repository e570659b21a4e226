// Text fields on arbitrary clipboard text and arbitrary edits: whatever comes in, the
// field holds valid UTF-8 without control characters, its caret and selection stay on
// character boundaries inside the text, and drawing stays inside its buffers.
// Input: the clipboard text's length (1 byte), that many bytes of text, then one byte per
// edit (see Edit below).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/seed_corpus.h"
#include "jindep/Ji_tidge_std.h"
#include "jwin/J_draw.h"
#include "jwin/J_window.h"
#include "jwin/pixel_map.h"
#include "platform/clipboard/Clipboard.h"

namespace {

constexpr uintptr_t kSender = 99;
JWidget* field = nullptr;
JPixMap* area = nullptr;

void Key(uint8_t character, uint32_t unicode, uint8_t code, uint8_t modifiers) {
  JKeyEvent key = {};
  key.character = character;
  key.unicode = unicode;
  key.code = code;
  key.modifiers = modifiers;
  field->widgetClass->key(field, &key);
}

// Low four bits choose the edit, bit 4 adds Shift to the caret moves.
void Edit(uint8_t op, uint8_t next) {
  const uint8_t shift = op & 0x10 ? kJModShift : 0;
  switch (op & 0x0F) {
    case 0: Key(kJCharLeft, kJCharLeft, 0, shift); break;
    case 1: Key(kJCharRight, kJCharRight, 0, shift); break;
    case 2: Key(kJCharHome, kJCharHome, 4, shift); break;
    case 3: Key(kJCharEnd, kJCharEnd, 5, shift); break;
    case 4: Key(kJCharBackspace, kJCharBackspace, 8, 0); break;
    case 5: Key(kJCharDelete, kJCharDelete, 127, 0); break;
    case 6: Key('a', 'a', 'a', kJModCommand | kJModCtrl); break;
    case 7: Key('c', 'c', 'c', kJModCommand | kJModCtrl); break;
    case 8: Key('x', 'x', 'x', kJModCommand | kJModCtrl); break;
    case 9: Key('v', 'v', 'v', kJModCommand | kJModCtrl); break;
    case 10: Key('m', 'm', 'm', 0); break;
    case 11: Key(0xE9, 0xE9, 0, 0); break;
    case 12: Key('?', 0x1F600, 0, 0); break;
    case 13: JSetFieldSelection(field, next, next / 3u); break;
    case 14: JSizeWidget(field, static_cast<int16_t>(8 + next), field->height); break;
    default: field->widgetClass->draw(field); break;
  }
}

bool ValidText(const char* text) {
  const size_t n = std::strlen(text);
  for (size_t i = 0; i < n;) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 32 || c == 127) return false;
    const size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + len > n) return false;
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

bool OnBoundary(const char* text, size_t at) {
  return at <= std::strlen(text) && (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
}

void Check() {
  const char* text = JGetFieldText(field);
  size_t start = 0, end = 0;
  JFieldSelection(field, &start, &end);
  const size_t caret = JFieldCaret(field);
  if (!ValidText(text) || start > end || !OnBoundary(text, start) || !OnBoundary(text, end) ||
      !OnBoundary(text, caret) || (caret != start && caret != end))
    std::abort();
}

std::vector<std::vector<uint8_t>> Seeds() {
  auto seed = [](const std::string& clip, const std::vector<uint8_t>& edits) {
    std::vector<uint8_t> s = {static_cast<uint8_t>(clip.size())};
    s.insert(s.end(), clip.begin(), clip.end());
    s.insert(s.end(), edits.begin(), edits.end());
    return s;
  };
  return {seed("plain words", {9, 15, 0x10, 0x10, 7, 2, 9, 15}),
          seed("tab\there\r\nnext line", {9, 6, 8, 9, 9, 15}),
          seed("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", {9, 0x12, 4, 9, 13, 7, 15, 14, 40, 15}),
          seed("broken \xC3 \xFF\xFE end", {9, 11, 12, 0x10, 0x10, 5, 15})};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  seeds::WriteIfAsked(Seeds(), "field-");
  JDrawInit();
  // A field of no window, drawn into a small map.
  field = JNewTextField(nullptr, nullptr, 4, 4, "");
  JSizeWidget(field, 60, field->height);
  area = JPixMapNewDirect(80, 40, 32);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size - 1 < data[0]) return 0;
  const size_t clipLength = data[0];
  platform::clipboard::Open(kSender);
  platform::clipboard::Empty(kSender);
  platform::clipboard::SetText(kSender, std::string(reinterpret_cast<const char*>(data + 1), clipLength));
  platform::clipboard::Close(kSender);
  JSetFieldText(field, "");
  JSizeWidget(field, 60, field->height);
  JSetDrawBitmap(area);
  for (size_t i = 1 + clipLength; i < size; ++i) {
    Edit(data[i], i + 1 < size ? data[i + 1] : 0);
    Check();
  }
  JResetDrawArea(nullptr);
  return 0;
}
