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

TEST(DialogPaths, NamesAreResolvedAgainstTheShownDirectory) {
  EXPECT_EQ(Resolve("/home/ann/", "picture.gif"), "/home/ann/picture.gif");
  EXPECT_EQ(Resolve("/home/ann/", "../bob/./x.gif"), "/home/bob/x.gif");
  EXPECT_EQ(Resolve("/home/ann/", "/tmp//y.gif"), "/tmp/y.gif");
  EXPECT_EQ(Resolve("/", "../../.."), "/");
  EXPECT_EQ(Resolve("/a.b/c/", ".."), "/a.b");
  EXPECT_EQ(Resolve("/a/", std::string(255, 'n')), "/a/" + std::string(255, 'n'));
  EXPECT_EQ(Resolve("/a/", std::string(256, 'n')), "(bad)");
  EXPECT_EQ(Resolve("/a/", "tab\there"), "(bad)");
  std::string deep = "/";
  while (deep.size() < 4094) deep += "dir/";
  EXPECT_EQ(Resolve(deep, "x"), "(bad)");
}

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

TEST(DialogPaths, TheFieldHoldsAtMost254Characters) {
  EXPECT_FALSE(JFileDialogNameTooLong(std::string(254, 'a').c_str()));
  EXPECT_TRUE(JFileDialogNameTooLong(std::string(255, 'a').c_str()));
  std::string accented;
  for (int i = 0; i < 254; ++i) accented += "\xC3\xA9";  // 508 bytes, 254 characters
  EXPECT_FALSE(JFileDialogNameTooLong(accented.c_str()));
  char* directory = nullptr;
  char* name = nullptr;
  JFileDialogSplit("/tmp/x.gif", &directory, &name);
  EXPECT_STREQ(directory, "/tmp/");
  EXPECT_STREQ(name, "x.gif");
  JFree(directory);
  JFree(name);
  JFileDialogSplit("plain", &directory, &name);
  EXPECT_STREQ(directory, "");
  EXPECT_STREQ(name, "plain");
  JFree(directory);
  JFree(name);
}
