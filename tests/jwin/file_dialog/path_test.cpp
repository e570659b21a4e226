#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "jindep/memory.h"
#include "jwin/J_filedlg_state.h"

namespace {

// Null when the path cannot be resolved.
std::string Resolve(const std::string& directory, const std::string& name) {
  char* p = JFileDialogResolve(directory.c_str(), name.c_str());
  if (!p) return "(bad)";
  std::string s(p);
  JFree(p);
  return s;
}

// A plain model of the same walk over the parts.
std::string Model(const std::string& directory, const std::string& name) {
  const std::string joined = (name.empty() || name[0] != '/' ? directory : "") + "/" + name;
  if (joined.size() >= 4096) return "(bad)";
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= joined.size()) {
    size_t j = joined.find('/', i);
    if (j == std::string::npos) j = joined.size();
    const std::string part = joined.substr(i, j - i);
    for (unsigned char c : part)
      if (c < 0x20 || c == 0x7F) return "(bad)";
    if (part.size() > 255) return "(bad)";
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string out;
  for (const std::string& p : parts) out += "/" + p;
  return out.empty() ? "/" : out;
}

}  // namespace

TEST(DialogPaths, RandomNamesResolveAsTheModelSays) {
  std::mt19937 random(11);
  const std::vector<std::string> pieces = {"a", "bc", ".", "..", "/", "//", "x.gif", "\x01", std::string(200, 'l'),
                                           "\xC3\xA9", " "};
  for (int round = 0; round < 3000; ++round) {
    std::string directory = "/", name;
    for (int i = static_cast<int>(random() % 4); i > 0; --i) directory += pieces[random() % 3] + "/";
    for (int i = static_cast<int>(random() % 8); i > 0; --i) name += pieces[random() % pieces.size()];
    if (random() % 50 == 0) name = std::string(4100, 'p');
    ASSERT_EQ(Resolve(directory, name), Model(directory, name)) << directory << " | " << name;
  }
}
