// Text on the desktop's clipboard in its oldest form is Latin-1 (one byte a character);
// the clipboard itself carries UTF-8.
#pragma once
#include <string>

namespace platform::clipboard {

std::string Utf8FromLatin1(const std::string& latin1);
// Characters beyond Latin-1 become '?'; bytes that do not form UTF-8 are taken as
// Latin-1 characters already.
std::string Latin1FromUtf8(const std::string& utf8);

}  // namespace platform::clipboard
