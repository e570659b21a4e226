#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/gif/GifFile.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifWriter.h"
#include "gif_test_document.h"
#include "gif_test_util.h"

namespace {

using giftest::TestDocument;

std::string MakeTempDir() {
  char dir[] = "/tmp/tintwell-gif-XXXXXX";
  EXPECT_NE(mkdtemp(dir), nullptr);
  return dir;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> DirEntries(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  while (dirent* e = d ? readdir(d) : nullptr)
    if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
  if (d) closedir(d);
  return names;
}

void RemoveDir(const std::string& dir) {
  for (const std::string& name : DirEntries(dir)) unlink((dir + "/" + name).c_str());
  rmdir(dir.c_str());
}

// A document set up as the controls panel leaves it: colourCount and the table's tally.
void Prepare(TestDocument& t, std::mt19937& rng, uint32_t n, uint16_t w, uint16_t h, uint32_t k) {
  giftest::MakeRandomDocument(t, rng, n, w, h);
  t.doc.colourCount = k;
  std::vector<uint32_t> rep, tally;
  giftest::ReferenceMapping(t, k, rep, tally);
  t.tallyStore = tally;
  t.table.tally = t.tallyStore.data();
}

std::vector<uint8_t> InMemory(TestDocument& t) {
  std::vector<uint8_t> out;
  GifSinkBegin(giftest::AppendToVector, &out);
  for (uint32_t k = 1; GifWritePass(&t.doc, t.table.tally, t.doc.colourCount, k); ++k) {
  }
  return out;
}

TEST(WriteGifFile, WritesTheStreamAndReplacesAnOlderFileWholeLeavingOthersTemporaryFilesAlone) {
  std::mt19937 rng(3);
  std::string dir = MakeTempDir();
  std::string path = dir + "/out.gif";
  {
    std::ofstream old(path, std::ios::binary);
    old << std::string(200000, 'x');  // longer than the new file
    std::ofstream other(dir + "/.out.gif.0.tmp", std::ios::binary);
    other << "someone else's";  // another save's temporary file
  }
  TestDocument t;
  Prepare(t, rng, 600, 60, 50, 600);
  GifSaveResult result;
  ASSERT_TRUE(WriteGifFile(&t.doc, path.c_str(), &result));
  EXPECT_EQ(result.error, 0);
  std::vector<uint8_t> bytes = ReadFile(path);
  EXPECT_EQ(bytes, InMemory(t));
  EXPECT_EQ(result.bytes, bytes.size());
  EXPECT_TRUE(giftest::DecodeScreen(bytes).ok);
  EXPECT_EQ(DirEntries(dir).size(), 2u) << "no temporary file of ours is left";
  std::vector<uint8_t> other = ReadFile(dir + "/.out.gif.0.tmp");
  EXPECT_EQ(std::string(other.begin(), other.end()), "someone else's");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_NE(st.st_mode & 0044, 0u) << "a saved picture is readable by others, as files usually are";

  // A replaced file keeps its permission bits and its group.
  for (mode_t mode : {0600, 0640, 0751}) {
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    const gid_t group = static_cast<gid_t>(100 + mode % 7);
    const bool regrouped = chown(path.c_str(), static_cast<uid_t>(-1), group) == 0;  // where allowed
    ASSERT_TRUE(WriteGifFile(&t.doc, path.c_str(), &result));
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
    if (regrouped) EXPECT_EQ(st.st_gid, group);
  }
  RemoveDir(dir);
}

TEST(WriteGifFile, UnwritablePlacesFailWithoutTouchingAnything) {
  std::mt19937 rng(5);
  TestDocument t;
  Prepare(t, rng, 10, 8, 8, 10);
  GifSaveResult result;
  EXPECT_FALSE(WriteGifFile(&t.doc, "/nonexistent-dir/x/out.gif", &result));
  EXPECT_EQ(result.error, ENOENT);
  std::string dir = MakeTempDir();
  EXPECT_FALSE(WriteGifFile(&t.doc, (dir + "/").c_str(), &result)) << "a directory is not a file name";
  EXPECT_NE(result.error, 0);
  // A directory of the same name is not replaced.
  std::string sub = dir + "/taken.gif";
  ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
  EXPECT_FALSE(WriteGifFile(&t.doc, sub.c_str(), &result));
  EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"taken.gif"});
  rmdir(sub.c_str());
  RemoveDir(dir);
}

TEST(WriteGifFile, AWriteFailureKeepsTheOldFileAndLeavesNoPartialOne) {
  std::mt19937 rng(6);
  std::string dir = MakeTempDir();
  std::string path = dir + "/keep.gif";
  {
    std::ofstream old(path, std::ios::binary);
    old << "precious";
  }
  TestDocument t;
  Prepare(t, rng, 2000, 200, 200, 2000);  // far more than the limit below
  // Files may not grow past 4 KiB for a moment: the write fails as on a full disk.
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  GifSaveResult result;
  bool ok = WriteGifFile(&t.doc, path.c_str(), &result);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(ok);
  EXPECT_EQ(result.error, EFBIG);
  std::vector<uint8_t> kept = ReadFile(path);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "precious");
  EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"keep.gif"});
  // The sink no longer points at the discarded file.
  std::vector<uint8_t> later = InMemory(t);
  EXPECT_TRUE(giftest::DecodeScreen(later).ok);
  RemoveDir(dir);
}

}  // namespace
