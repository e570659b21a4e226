#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jwin/J_hleven.h"

namespace {

int Parse(std::vector<std::string> args, std::string* path) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  const char* p = nullptr;
  const int kind = JParseCommandLine(static_cast<int>(argv.size()), argv.data(), &p);
  *path = p ? p : "";
  return kind;
}

std::vector<std::string> seen;
void Remember(void* data, const char* path) {
  seen.push_back(std::string(static_cast<const char*>(data)) + ":" + (path ? path : "-"));
}

}  // namespace

TEST(CommandLine, FindsTheDocumentAndThePrintOption) {
  std::string path;
  EXPECT_EQ(Parse({"tintwell"}, &path), kJRequestOpenApplication);
  EXPECT_EQ(Parse({"tintwell", "pic.bmp"}, &path), kJRequestOpenDocuments);
  EXPECT_EQ(path, "pic.bmp");
  EXPECT_EQ(Parse({"tintwell", "/p", "/home/me/pic.wmf"}, &path), kJRequestPrintDocuments);
  EXPECT_EQ(path, "/home/me/pic.wmf");
  EXPECT_EQ(Parse({"tintwell", "-p", "a b.bmp"}, &path), kJRequestPrintDocuments);
  EXPECT_EQ(path, "a b.bmp");
  // An absolute path is a document, not an option; the print option after it is ignored.
  EXPECT_EQ(Parse({"tintwell", "/tmp/x.bmp", "-p"}, &path), kJRequestOpenDocuments);
  EXPECT_EQ(path, "/tmp/x.bmp");
  EXPECT_EQ(Parse({"tintwell", "-v", "", "y.bmp", "z.bmp"}, &path), kJRequestOpenDocuments);
  EXPECT_EQ(path, "y.bmp");
}

// Printing then quitting is driven by the whole-program test; here, the quotes.
TEST(CommandLine, QuotesAroundANameAreDropped) {
  static char open[] = "open";
  JSetHighLevelHandler(kJRequestOpenDocuments, Remember, open);
  std::string a0 = "tintwell", quoted = "\"my pic.bmp\"", lone = "\"";
  for (std::string* name : {&quoted, &lone}) {
    char* argv[] = {a0.data(), name->data()};
    seen.clear();
    JRunCommandLine(2, argv);
    // A lone quote is a name, not an empty one from nowhere.
    EXPECT_EQ(seen, std::vector<std::string>{name == &lone ? "open:\"" : "open:my pic.bmp"});
  }
  JClearHighLevelHandlers();
}
