#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/files/Files.h"

namespace files = platform::files;

namespace {

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tintwell-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  std::string dir_;
};

}  // namespace

TEST_F(Files, CreateWriteSeekReadSizeTruncateDelete) {
  const std::string p = path("data.bin");
  EXPECT_FALSE(files::Exists(p));
  EXPECT_EQ(files::Open(p, files::kRead), files::kNoFile);  // opening never creates
  EXPECT_FALSE(files::Exists(p));
  ASSERT_TRUE(files::CreateNew(p));
  EXPECT_FALSE(files::CreateNew(p));  // already there

  files::Handle f = files::Open(p, files::kReadWrite);
  ASSERT_NE(f, files::kNoFile);
  uint64_t done = 0;
  EXPECT_TRUE(files::Write(f, "0123456789", 10, &done));
  EXPECT_EQ(done, 10u);
  uint64_t size = 0;
  EXPECT_TRUE(files::Size(f, &size));
  EXPECT_EQ(size, 10u);
  ASSERT_TRUE(files::Seek(f, 4));
  char buf[16] = {};
  EXPECT_TRUE(files::Read(f, buf, 16, &done));
  EXPECT_EQ(done, 6u);  // short read at the end is success
  EXPECT_STREQ(buf, "456789");
  EXPECT_TRUE(files::Read(f, buf, 16, &done));
  EXPECT_EQ(done, 0u);
  ASSERT_TRUE(files::Seek(f, 3));
  EXPECT_TRUE(files::SetEnd(f));
  EXPECT_TRUE(files::Size(f, &size));
  EXPECT_EQ(size, 3u);
  uint64_t at = 0;
  EXPECT_TRUE(files::Position(f, &at));
  EXPECT_EQ(at, 3u);
  EXPECT_TRUE(files::Flush(f));
  EXPECT_TRUE(files::Close(f));
  EXPECT_FALSE(files::Close(files::kNoFile));

  std::vector<uint8_t> all;
  std::string reason;
  EXPECT_TRUE(files::ReadAll(p, 100, &all, &reason));
  EXPECT_EQ(std::string(all.begin(), all.end()), "012");
  EXPECT_FALSE(files::ReadAll(p, 2, &all, &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(files::ReadAll(path("missing"), 100, &all, &reason));

  EXPECT_TRUE(files::Delete(p));
  EXPECT_FALSE(files::Delete(p));
  EXPECT_FALSE(files::Exists(p));
}

TEST_F(Files, ReadOnlyHandlesRefuseWritesAndDirectoriesDoNotOpenAsFiles) {
  ASSERT_TRUE(files::CreateNew(path("r")));
  files::Handle f = files::Open(path("r"), files::kRead);
  ASSERT_NE(f, files::kNoFile);
  uint64_t done = 7;
  EXPECT_FALSE(files::Write(f, "x", 1, &done));
  EXPECT_EQ(done, 0u);
  files::Close(f);
  EXPECT_EQ(files::Open(dir_, files::kRead), files::kNoFile);
  EXPECT_EQ(files::Open("", files::kRead), files::kNoFile);
}

