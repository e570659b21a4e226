#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "jindep/memory.h"
#include "jwin/J_file.h"

namespace {

std::vector<std::string> Names(JFileList list) {
  std::vector<std::string> out(list.names, list.names + list.count);
  JFileListFree(&list);
  return out;
}

}  // namespace

// Whole names against the list's pattern, and extensions against a type's extension:
// '*' and '?' as wildcards, in any case, matching the whole text.
TEST(DialogLists, NamePatternsMatchLikeTheDialogsExpect) {
  const struct {
    bool extension;
    const char *pattern, *text;
    bool matches;
  } cases[] = {
      {false, "*.gif", "Holiday.GIF", true},   {false, "*.gif", "holiday.v2.gif", true},
      {false, "*.gif", "holiday.gif.bak", false}, {false, "*.*", "README", true},
      {false, "a?c.bmp", "abc.bmp", true},     {false, "a?c.bmp", "ac.bmp", false},
      {false, "*", "", true},                  {false, "*a*b*", "xxaxxbxx", true},
      {false, "*a*b", "xxaxxbxx", false},      {true, ".*", ".bmp", true},
      {true, ".g?f", ".GIF", true},            {true, ".gif", ".GiF", true},
      {true, ".gif", ".gi", false},            {true, ".gi", ".gif", false},
      {true, ".gif", ".bmp", false},
  };
  for (const auto& c : cases) {
    const bool got = c.extension ? JFileExtensionMatches(c.pattern, c.text) : JFileNameMatches(c.pattern, c.text);
    EXPECT_EQ(got, c.matches) << c.pattern << " " << c.text;
  }
}

TEST(DialogLists, DirectoriesAndMatchingFilesAreListedSortedWithoutHiddenOnes) {
  char pattern[] = "/tmp/tintwell-lists-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = std::string(pattern) + "/";
  for (const char* f : {"b.gif", "A.GIF", "c.bmp", ".hidden.gif", "d.jpg", "e.JPEG"}) std::fclose(std::fopen((dir + f).c_str(), "w"));
  for (const char* d : {"zeta", "alpha.gif", ".git"}) ASSERT_TRUE(JFileCreateDirectory((dir + d).c_str()));

  EXPECT_EQ(Names(JFileListFiles(dir.c_str(), "*.gif")), (std::vector<std::string>{"A.GIF", "b.gif"}));
  EXPECT_EQ(Names(JFileListFiles(dir.c_str(), "*.*")),
            (std::vector<std::string>{"A.GIF", "b.gif", "c.bmp", "d.jpg", "e.JPEG"}));
  EXPECT_EQ(Names(JFileListFiles(dir.c_str(), "*.jpg")), (std::vector<std::string>{"d.jpg", "e.JPEG"}));
  EXPECT_EQ(Names(JFileListDirectories(dir.c_str())),
            (std::vector<std::string>{"[..]", "[alpha.gif]", "[zeta]"}));
  // The root and the places list are driven by the dialog tests (the "/" place, no [..] there).
  std::system(("rm -rf '" + dir + "'").c_str());
}

// An empty name lists everything; a directory takes the type's pattern; a name stays a name.
TEST(DialogLists, TypedNamesBecomePatternsOrNames) {
  const struct {
    const char *typed, *pattern, *name;
    bool isPattern;
  } cases[] = {{"", "*.gif", "*.*", true},
               {"pictures/..", "*.gif", "pictures/../*.gif", true},
               {"/home/", "*.bmp", "/home/*.bmp", true},
               {"holiday.gif", "*.gif", "holiday.gif", false}};
  for (const auto& c : cases) {
    bool isPattern = !c.isPattern;
    char* n = JFileDialogName(c.typed, c.pattern, &isPattern);
    EXPECT_STREQ(n, c.name) << c.typed;
    EXPECT_EQ(isPattern, c.isPattern) << c.typed;
    JFree(n);
  }
}
