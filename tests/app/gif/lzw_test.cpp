// The LZW encoder against a plain decoder over random data: widths growing to 12
// bits, the table filling and starting again, sub-block framing.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/gif/GifSink.h"
#include "app/gif/LzwEncoder.h"
#include "gif_test_util.h"

namespace {

struct Code {
  uint32_t code;
  int width;
};

// Reads codes LSB first as a GIF decoder does: the width starts at initBits, grows
// when the next table entry reaches 2^width (up to 12) and starts again at a clear
// code. False on a code the table does not hold or a stream without its end code.
bool DecodeCodes(const std::vector<uint8_t>& data, int initBits, std::vector<uint8_t>& values,
                 std::vector<Code>& codes) {
  const uint32_t clear = 1u << (initBits - 1), end = clear + 1;
  // An entry is a prefix code plus a last value; first[] is its first value.
  std::vector<int32_t> prefix(4096, -1);
  std::vector<uint8_t> suffix(4096), first(4096), spelled;
  for (uint32_t i = 0; i < clear; ++i) suffix[i] = first[i] = static_cast<uint8_t>(i);
  uint32_t size = clear + 2;
  int width = initBits;
  int32_t prev = -1;
  for (size_t bit = 0; bit + width <= data.size() * 8;) {
    uint32_t code = 0;
    for (int b = 0; b < width; ++b, ++bit) code |= ((data[bit >> 3] >> (bit & 7)) & 1u) << b;
    codes.push_back({code, width});
    if (code == clear) {
      size = clear + 2, width = initBits, prev = -1;
      continue;
    }
    if (code == end) return true;
    if (code > size || (code == size && (prev < 0 || size == 4096))) return false;
    if (prev >= 0 && size < 4096) {
      prefix[size] = prev;
      suffix[size] = code == size ? first[prev] : first[code];
      first[size++] = first[prev];
    }
    spelled.clear();
    for (int32_t c = static_cast<int32_t>(code); c >= 0; c = prefix[c]) spelled.push_back(suffix[c]);
    values.insert(values.end(), spelled.rbegin(), spelled.rend());
    prev = static_cast<int32_t>(code);
    if (size == (1u << width) && width < 12) ++width;
  }
  return false;
}

uint32_t PullFromVector(void* data, uint8_t* out, uint32_t max) {
  auto* s = static_cast<std::pair<const std::vector<uint8_t>*, size_t>*>(data);
  uint32_t n = 0;
  while (n < max && s->second < s->first->size()) out[n++] = (*s->first)[s->second++];
  return n;
}

// Compresses, checks the framing (no empty sub-block: it would end the image data;
// only the last one short) and returns the sub-blocks' data joined.
std::vector<uint8_t> Compress(int initBits, const std::vector<uint8_t>& values) {
  std::vector<uint8_t> raw, data;
  std::pair<const std::vector<uint8_t>*, size_t> source(&values, 0);
  GifSinkBegin(giftest::AppendToVector, &raw);
  LzwCompress(initBits, static_cast<uint32_t>(values.size()), PullFromVector, &source);
  EXPECT_EQ(GifSinkCount(), raw.size());
  EXPECT_EQ(source.second, values.size()) << "every pixel is pulled exactly once";
  for (size_t at = 0; at < raw.size() && at + 1 + raw[at] <= raw.size(); at += 1 + raw[at]) {
    EXPECT_TRUE(raw[at] == 255 || (raw[at] > 0 && at + 1 + raw[at] == raw.size())) << "block at " << at;
    data.insert(data.end(), raw.begin() + at + 1, raw.begin() + at + 1 + raw[at]);
  }
  return data;
}

TEST(LzwCompress, RandomInputsDecodeToThemselvesAcrossWidthsAndTableResets) {
  std::mt19937 rng(1234);
  struct Case {
    int initBits;
    size_t length;
    uint32_t alphabet;  // few values make long strings and fast growth, many make misses
  };
  std::vector<Case> cases = {{3, 0, 1}, {9, 0, 1}, {3, 1, 4}, {9, 300000, 256}, {3, 200000, 4}, {5, 60000, 3}};
  for (int trial = 0; trial < 60; ++trial) {
    const int bits = 3 + trial % 7;
    cases.push_back({bits, rng() % (trial % 5 ? 40000 : 20), static_cast<uint32_t>(1 + rng() % (1u << (bits - 1)))});
  }
  size_t resets = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "bits " << c.initBits << " length " << c.length << " alphabet " << c.alphabet);
    std::vector<uint8_t> input(c.length), values;
    for (auto& v : input) v = static_cast<uint8_t>(rng() % c.alphabet);
    std::vector<Code> codes;
    ASSERT_TRUE(DecodeCodes(Compress(c.initBits, input), c.initBits, values, codes));
    ASSERT_EQ(values, input);
    const uint32_t clear = 1u << (c.initBits - 1);
    EXPECT_TRUE(c.length == 0 || codes[0].code == clear) << "a stream starts with a clear code";
    // The table starts again only once full: one code finds it full at 12 bits, then the clear.
    for (size_t i = 1, last = 0; i < codes.size(); ++i) {
      if (codes[i].code != clear) continue;
      EXPECT_EQ(i - last - 1, 4096 - clear - 1);
      EXPECT_EQ(codes[i].width, 12);
      EXPECT_EQ(codes[i + 1].width, c.initBits) << "coding restarts at the initial width";
      last = i;
      ++resets;
    }
  }
  EXPECT_GE(resets, 20u) << "the cases fill the table many times over";
}

struct RunSource {
  const std::vector<GifRun>* runs;
  size_t at;
  std::mt19937* rng;
};

// Hands out a random number of runs at a time, so runs cross the encoder's chunks.
uint32_t PullRuns(void* data, GifRun* out, uint32_t max) {
  auto* s = static_cast<RunSource*>(data);
  uint32_t n = 0, want = 1 + (*s->rng)() % max;
  while (n < want && s->at < s->runs->size()) out[n++] = (*s->runs)[s->at++];
  return n;
}

// The run path must send the codes of the pixel-by-pixel encoder exactly: long runs of
// one value (mostly 0, whose two-copies string has the zero key that ends probes),
// single pixels between them, runs cut in pieces and empty runs, over many table clears.
TEST(LzwCompressRuns, SendsExactlyThePixelByPixelBytes) {
  std::mt19937 rng(77);
  for (int trial = 0; trial < 150; ++trial) {
    const int bits = 3 + trial % 7;
    const uint32_t values = 1u << (bits - 1), alphabet = trial % 3 ? 2 + rng() % 3 : values;
    const uint32_t longest = trial % 4 == 0 ? 40 : 3000;
    std::vector<uint8_t> pixels;
    std::vector<GifRun> runs;
    while (pixels.size() < (trial % 10 ? 150000u : 30u)) {
      if (rng() % 64 == 0) {
        // Without 0 the table fills before the two-copies string of 0 is stored.
        for (uint32_t n = rng() % 3000; n > 0; --n) {
          pixels.push_back(static_cast<uint8_t>(1 + rng() % (alphabet - 1)));
          runs.push_back({1, pixels.back()});
        }
        continue;
      }
      const uint8_t v = static_cast<uint8_t>(rng() % 3 ? 0 : rng() % alphabet);
      const uint32_t length = rng() % 2 ? 1 + rng() % 4 : rng() % longest;
      pixels.insert(pixels.end(), length, v);
      for (uint32_t left = length; left > 0 || rng() % 8 == 0;) {
        const uint32_t piece = rng() % 4 ? left : rng() % (left + 1);
        runs.push_back({piece, v});
        left -= piece;
        if (left == 0) break;
      }
    }
    SCOPED_TRACE(testing::Message() << "trial " << trial);
    std::vector<uint8_t> plain, byRuns;
    std::pair<const std::vector<uint8_t>*, size_t> pixelSource(&pixels, 0);
    GifSinkBegin(giftest::AppendToVector, &plain);
    LzwCompress(bits, static_cast<uint32_t>(pixels.size()), PullFromVector, &pixelSource);
    RunSource runSource{&runs, 0, &rng};
    GifSinkBegin(giftest::AppendToVector, &byRuns);
    LzwCompressRuns(bits, static_cast<uint32_t>(pixels.size()), PullRuns, &runSource);
    ASSERT_EQ(plain, byRuns);
    RunSource counted{&runs, 0, &rng};
    GifSinkBegin(nullptr, nullptr);  // only counting: no bytes made, the same number of them
    LzwCompressRuns(bits, static_cast<uint32_t>(pixels.size()), PullRuns, &counted);
    ASSERT_EQ(GifSinkCount(), plain.size());
  }
}

}  // namespace
