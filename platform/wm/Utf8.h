// Typed text arrives as UTF-8; input messages carry one character each.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform::wm {

// UTF-8 where the bytes form it, otherwise each byte as a Latin-1 character; never
// reads past the end.
std::vector<uint32_t> DecodeUtf8(const std::string& text);

}  // namespace platform::wm
