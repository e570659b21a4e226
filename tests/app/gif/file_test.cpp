// Saving a GIF file: the file holds exactly the stream, replaces an older file
// whole and keeps its permissions; a save that fails leaves everything as it was.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/colour/HelperThread.h"
#include "app/gif/GifFile.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifWriter.h"
#include "gif_test_util.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A fresh directory, emptied and removed afterwards, and a document of n colours
// set up as the controls panel leaves it.
class WriteGifFileTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(mkdtemp(dir.data()), nullptr); }
  void TearDown() override {
    for (const std::string& name : Entries()) unlink((dir + "/" + name).c_str());
    rmdir(dir.c_str());
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    while (dirent* e = d ? readdir(d) : nullptr)
      if (strcmp(e->d_name, ".") && strcmp(e->d_name, "..")) names.push_back(e->d_name);
    if (d) closedir(d);
    return names;
  }
  void Prepare(uint32_t n, uint16_t side) {
    std::mt19937 rng(n);
    giftest::MakeRandomDocument(t, rng, n, side, side);
    t.doc.colourCount = n;
    giftest::MapAndExpect(t, n);
  }
  std::string InMemory() {
    std::vector<uint8_t> out;
    GifSinkBegin(giftest::AppendToVector, &out);
    for (uint32_t k = 1; GifWritePass(&t.doc, t.table.tally, t.doc.colourCount, k); ++k) {
    }
    return std::string(out.begin(), out.end());
  }
  std::string dir = "/tmp/tintwell-gif-XXXXXX";
  giftest::TestDocument t;
  GifSaveResult result{};
};

TEST_F(WriteGifFileTest, ReplacesAnOlderFileWholeKeepingItsPermissionsAndLeavesOthersTemporaryFiles) {
  const std::string path = dir + "/out.gif", others = dir + "/.out.gif.0.tmp";
  std::ofstream(path, std::ios::binary) << std::string(200000, 'x');  // longer than the new file
  std::ofstream(others, std::ios::binary) << "another save's";
  Prepare(600, 55);
  ASSERT_TRUE(WriteGifFile(&t.doc, path.c_str(), &result));
  EXPECT_EQ(result.error, 0);
  EXPECT_EQ(ReadFile(path), InMemory());
  EXPECT_EQ(result.bytes, ReadFile(path).size());
  EXPECT_EQ(Entries().size(), 2u) << "no temporary file of ours is left";
  EXPECT_EQ(ReadFile(others), "another save's");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_NE(st.st_mode & 0044, 0u) << "a saved picture is readable by others, as files usually are";
  for (mode_t mode : {0600, 0640, 0751}) {
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    const auto group = static_cast<gid_t>(100 + mode % 7);
    const bool regrouped = chown(path.c_str(), static_cast<uid_t>(-1), group) == 0;  // where allowed
    ASSERT_TRUE(WriteGifFile(&t.doc, path.c_str(), &result));
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode) << "a private picture stays private";
    EXPECT_TRUE(!regrouped || st.st_gid == group) << "and keeps its group";
  }
}

// Places that cannot take the file, and a disk that fills up (files may not grow
// past 4 KiB for a moment): the error is told and nothing is touched or left.
TEST_F(WriteGifFileTest, AFailedSaveTellsWhyKeepsTheOldFileAndLeavesNoPartialOne) {
  std::ofstream(dir + "/keep.gif", std::ios::binary) << "precious";
  ASSERT_EQ(mkdir((dir + "/taken.gif").c_str(), 0755), 0);
  Prepare(2000, 200);  // far more than 4 KiB
  const struct {
    std::string path;
    bool diskFull;
    int error;
  } cases[] = {{"/nonexistent-dir/x/out.gif", false, ENOENT}, {dir + "/", false, EISDIR},
               {dir + "/taken.gif", false, EISDIR}, {dir + "/keep.gif", true, EFBIG}};
  struct rlimit saved, small;
  getrlimit(RLIMIT_FSIZE, &saved);
  small = saved;
  small.rlim_cur = 4096;
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  for (const auto& c : cases) {
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, c.diskFull ? &small : &saved), 0);
    EXPECT_FALSE(WriteGifFile(&t.doc, c.path.c_str(), &result)) << c.path;
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(result.error, c.error) << c.path;
  }
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(ReadFile(dir + "/keep.gif"), "precious");
  EXPECT_EQ(Entries().size(), 2u) << "keep.gif and taken.gif alone";
  rmdir((dir + "/taken.gif").c_str());
}

// Streams of many passes: whole passes written ahead on a second thread reach the file in
// order (global table; transparency on), with helpers and with none (a process out of
// threads), and later passes written from their pixels (neither): the file is always the
// stream written pass by pass.
TEST_F(WriteGifFileTest, AStreamOfManyPassesIsTheSameOnTwoThreadsAndOne) {
  const std::string path = dir + "/out.gif";
  Prepare(1200, 70);
  for (int setting = 0; setting < 4; ++setting) {
    t.doc.firstPassBits = static_cast<uint16_t>(5 + setting % 3);
    t.doc.laterPassBits = static_cast<uint16_t>(3 + setting % 3);  // 33 to 154 passes
    t.doc.colourCount = setting == 0 ? 256 : 1100;
    t.doc.useGlobalTable = setting == 0;
    t.doc.interlaceLater = setting % 2;
    t.marks[7] = setting == 2;
    t.doc.transparencyOn = setting == 1 || setting == 2;
    t.Link();
    giftest::MapAndExpect(t, t.doc.colourCount);
    const std::string stream = InMemory();
    for (const bool helpers : {true, false}) {
      HelperThreadsAllow(helpers);
      ASSERT_TRUE(WriteGifFile(&t.doc, path.c_str(), &result));
      EXPECT_EQ(ReadFile(path), stream) << "setting " << setting << (helpers ? " with" : " without") << " helpers";
    }
  }
  HelperThreadsAllow(true);
}

bool RefuseSecondWrite(void* data, const uint8_t*, size_t) { return ++*static_cast<int*>(data) < 2; }

TEST(GifSink, RemembersAFailedWriteAndStopsWriting) {
  int calls = 0;
  GifSinkBegin(RefuseSecondWrite, &calls);
  const uint8_t bytes[3] = {1, 2, 3};
  for (int i = 0; i < 5; ++i) GifSinkWrite(3, bytes);
  EXPECT_TRUE(GifSinkFailed());
  EXPECT_EQ(calls, 2) << "nothing more is written after a refusal";
  GifSinkBegin(nullptr, nullptr);
  EXPECT_FALSE(GifSinkFailed()) << "a new stream starts clean";
}

}  // namespace
