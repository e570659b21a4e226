#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/gif/GifSink.h"
#include "app/gif/LzwEncoder.h"
#include "gif_test_util.h"

namespace {

using giftest::CodeRecord;

struct VectorSource {
  const std::vector<uint8_t>* values;
  size_t at;
  uint32_t largestRequest;
};

uint32_t PullFromVector(void* data, uint8_t* out, uint32_t max) {
  auto* s = static_cast<VectorSource*>(data);
  if (max > s->largestRequest) s->largestRequest = max;
  uint32_t n = 0;
  while (n < max && s->at < s->values->size()) out[n++] = (*s->values)[s->at++];
  return n;
}

std::vector<uint8_t> Compress(int initBits, const std::vector<uint8_t>& values) {
  std::vector<uint8_t> out;
  VectorSource source{&values, 0, 0};
  GifSinkBegin(giftest::AppendToVector, &out);
  LzwCompress(initBits, static_cast<uint32_t>(values.size()), PullFromVector, &source);
  EXPECT_EQ(GifSinkCount(), out.size());
  EXPECT_EQ(source.at, values.size()) << "every pixel is pulled exactly once";
  return out;
}

// Checks the sub-block framing (every block but the last full, none empty, no
// terminator) and returns the joined data.
std::vector<uint8_t> CheckBlocks(const std::vector<uint8_t>& stream) {
  std::vector<uint8_t> data;
  size_t at = 0;
  while (at < stream.size()) {
    size_t len = stream[at];
    EXPECT_GT(len, 0u) << "the encoder never writes an empty block";
    EXPECT_LE(at + 1 + len, stream.size());
    if (at + 1 + len < stream.size()) {
      EXPECT_EQ(len, 255u) << "only the last block may be short";
    }
    data.insert(data.end(), stream.begin() + at + 1, stream.begin() + at + 1 + len);
    at += 1 + len;
  }
  return data;
}

std::vector<uint32_t> CodesOf(const std::vector<CodeRecord>& codes) {
  std::vector<uint32_t> out;
  for (auto& c : codes) out.push_back(c.code);
  return out;
}

// The shortest streams, bit for bit: the random round trips below cannot tell a
// stream that starts without its clear code or ends at the wrong width.
TEST(LzwCompress, TinyStreamsBitForBit) {
  EXPECT_EQ(Compress(3, {}), (std::vector<uint8_t>{1, 0x05}));
  EXPECT_EQ(Compress(9, {}), (std::vector<uint8_t>{2, 0x01, 0x01}));
  // Clear 4, value 2, end 5 at three bits each: 100 010 101.
  EXPECT_EQ(Compress(3, {2}), (std::vector<uint8_t>{2, 0x54, 0x01}));
  // Three equal values: the first new entry is 6, still at three bits.
  std::vector<uint8_t> values;
  std::vector<CodeRecord> codes;
  ASSERT_TRUE(giftest::DecodeCodes(CheckBlocks(Compress(3, {0, 0, 0})), 3, values, codes));
  EXPECT_EQ(CodesOf(codes), (std::vector<uint32_t>{4, 0, 6, 5}));
  for (auto& c : codes) EXPECT_EQ(c.width, 3);
}

TEST(LzwCompress, RandomInputsDecodeToThemselves) {
  std::mt19937 rng(1234);
  for (int trial = 0; trial < 70; ++trial) {
    int initBits = 3 + trial % 7;
    uint32_t alphabet = 1u << (initBits - 1);
    // Few distinct values make long strings and fast table growth; many make misses.
    uint32_t used = 1 + rng() % alphabet;
    size_t length = trial % 5 == 0 ? rng() % 20 : rng() % 40000;
    std::vector<uint8_t> input(length);
    for (auto& v : input) v = static_cast<uint8_t>(rng() % used);
    std::vector<uint8_t> values;
    std::vector<CodeRecord> codes;
    ASSERT_TRUE(giftest::DecodeCodes(CheckBlocks(Compress(initBits, input)), initBits, values, codes))
        << "trial " << trial;
    ASSERT_EQ(values, input) << "trial " << trial;
    for (auto& c : codes) ASSERT_LE(c.width, 12);
  }
}

TEST(LzwCompress, FullTableSendsClearAtTwelveBitsAndRestarts) {
  std::mt19937 rng(99);
  std::vector<uint8_t> input(300000);
  for (auto& v : input) v = static_cast<uint8_t>(rng());
  std::vector<uint8_t> values;
  std::vector<CodeRecord> codes;
  ASSERT_TRUE(giftest::DecodeCodes(CheckBlocks(Compress(9, input)), 9, values, codes));
  ASSERT_EQ(values, input);
  std::vector<size_t> clears;
  for (size_t i = 0; i < codes.size(); ++i)
    if (codes[i].code == 256) clears.push_back(i);
  ASSERT_GE(clears.size(), 3u) << "random bytes fill the table many times over";
  EXPECT_EQ(clears[0], 0u);
  EXPECT_EQ(codes[0].width, 9);
  for (size_t j = 1; j < clears.size(); ++j) {
    // 4096 - 256 - 2 entries are added by the codes after the first, then one more
    // code finds the table full and the clear follows it at 12 bits.
    EXPECT_EQ(clears[j] - clears[j - 1] - 1, 4096u - 256 - 1) << "clear " << j;
    EXPECT_EQ(codes[clears[j]].width, 12);
    EXPECT_EQ(codes[clears[j] - 1].width, 12);
    EXPECT_EQ(codes[clears[j] + 1].width, 9) << "coding restarts at the initial width";
  }
}

bool RefuseSecondWrite(void* data, const uint8_t*, size_t) {
  int* calls = static_cast<int*>(data);
  return ++*calls < 2;
}

TEST(GifSink, RemembersAFailedWriteAndStopsWriting) {
  int calls = 0;
  GifSinkBegin(RefuseSecondWrite, &calls);
  uint8_t bytes[3] = {1, 2, 3};
  for (int i = 0; i < 5; ++i) GifSinkWrite(3, bytes);
  EXPECT_TRUE(GifSinkFailed());
  EXPECT_EQ(calls, 2) << "nothing more is written after a refusal";
  EXPECT_EQ(GifSinkCount(), 15u);
  GifSinkBegin(nullptr, nullptr);
  EXPECT_FALSE(GifSinkFailed());
  EXPECT_EQ(GifSinkCount(), 0u);
}

}  // namespace
