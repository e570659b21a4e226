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

TEST(CommandLine, PrintingIsFollowedByQuitAndQuotesAreDropped) {
  static char open[] = "open", print[] = "print", quit[] = "quit", app[] = "app";
  JSetHighLevelHandler(kJRequestOpenApplication, Remember, app);
  JSetHighLevelHandler(kJRequestOpenDocuments, Remember, open);
  JSetHighLevelHandler(kJRequestPrintDocuments, Remember, print);
  JSetHighLevelHandler(kJRequestQuit, Remember, quit);
  std::string a0 = "tintwell", a1 = "/p", a2 = "\"my pic.bmp\"";
  char* argv[] = {a0.data(), a1.data(), a2.data()};
  seen.clear();
  JRunCommandLine(3, argv);
  EXPECT_EQ(seen, (std::vector<std::string>{"print:my pic.bmp", "quit:-"}));
  seen.clear();
  JRunCommandLine(1, argv);
  EXPECT_EQ(seen, (std::vector<std::string>{"app:-"}));
  std::string lone = "\"";
  char* odd[] = {a0.data(), lone.data()};
  seen.clear();
  JRunCommandLine(2, odd);  // a lone quote is a name, not an empty one from nowhere
  EXPECT_EQ(seen, (std::vector<std::string>{"open:\""}));
  JClearHighLevelHandlers();
}
