#include "platform/wm/Menu.h"

namespace platform::wm {

MenuLabel MenuLabel::Parse(const std::string& label) {
  MenuLabel out;
  const size_t tab = label.find('\t');
  const std::string main = label.substr(0, tab);
  if (tab != std::string::npos) out.shortcut = label.substr(tab + 1);
  for (size_t i = 0; i < main.size(); ++i) {
    if (main[i] == '&' && i + 1 < main.size()) {
      // "&&" is a plain ampersand; otherwise the next character is the keyboard letter.
      if (main[i + 1] != '&' && out.underline < 0) out.underline = static_cast<int>(out.text.size());
      ++i;
    }
    out.text += main[i];
  }
  return out;
}

}  // namespace platform::wm
