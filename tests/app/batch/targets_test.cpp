#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "batch_test_util.h"

namespace {

using namespace batchtest;

// What a fixed count gives, read off its report: the oracle the targets are checked against.
struct Measured {
  double quality = 0;  // per cent, as printed
  int error = 0;       // the raw distance
  uint64_t bytes = 0;
};

std::string Fixed(double v) {
  char text[32];
  snprintf(text, sizeof text, "%.4f", v);
  return text;
}

}  // namespace

TEST(BatchTargets, TheCountChosenIsTheOneEveryCountMeasuredSeparatelyPoints) {
  std::mt19937 rng(21);
  TempDir dir;
  const std::string in = dir / "in.bmp", out = dir / "out.gif";
  for (int round = 0; round < 5; ++round) {
    const Picture p = Blocks(10 + rng() % 24, 6 + rng() % 14, 8 + rng() % 40, rng());
    WriteBmp(in, p);
    const uint32_t n = static_cast<uint32_t>(ColoursOf(p.pixels).size());
    std::vector<Measured> at(n + 2);
    for (uint32_t k = 1; k <= n; ++k) {
      RunResult r = RunBatch({in, out, "--colours", std::to_string(k), "--report"});
      ASSERT_EQ(r.status, 0) << r.err;
      at[k].quality = std::stod(ReportValue(r.out, "Quality"));
      at[k].error = std::stoi(ReportValue(r.out, "Maximum error"));
      at[k].bytes = ReadFile(out).size();
    }
    auto run = [&](std::vector<std::string> extra) {
      std::vector<std::string> args = {in, out, "--report"};
      args.insert(args.end(), extra.begin(), extra.end());
      unlink(out.c_str());
      return RunBatch(args);
    };
    for (int t = 0; t < 8; ++t) {
      const uint32_t k = 2 + rng() % (n - 1);
      const std::string what = "round " + std::to_string(round) + " k " + std::to_string(k);
      if (at[k].quality > at[k - 1].quality + 0.04) {  // a quality above k - 1's (as printed): k is the fewest
        const std::string q = Fixed((at[k].quality + at[k - 1].quality) / 2);
        RunResult r = run({"--quality", q});
        ASSERT_EQ(r.status, 0) << what << r.err;
        EXPECT_EQ(ReportValue(r.out, "Colours kept"), std::to_string(k)) << what << " quality " << q;
        // With room for that GIF the size agrees; with one byte less it cannot be met.
        EXPECT_EQ(ReportValue(run({"--quality", q, "--max-bytes", std::to_string(at[k].bytes)}).out, "Colours kept"),
                  std::to_string(k));
        RunResult over = run({"--quality", q, "--max-bytes", std::to_string(at[k].bytes - 1)});
        EXPECT_EQ(over.status, 1) << what;
        EXPECT_EQ(Lines(over.err), 1) << over.err;
        EXPECT_FALSE(Exists(out));
      }
      if (at[k].error < at[k - 1].error) {  // an error limit k meets and k - 1 does not
        const std::string e = Fixed((at[k].error + 0.5) * 100 / 768);
        RunResult r = run({"--max-error", e});
        EXPECT_EQ(ReportValue(r.out, "Colours kept"), std::to_string(k)) << what << " error " << e;
      }
      // A size alone: the most colours that fit, one more measured over.
      const uint64_t limit = at[k].bytes + rng() % 40;
      RunResult r = run({"--max-bytes", std::to_string(limit)});
      ASSERT_EQ(r.status, 0) << what << r.err;
      const uint32_t chosen = static_cast<uint32_t>(std::stoul(ReportValue(r.out, "Colours kept")));
      EXPECT_LE(at[chosen].bytes, limit) << what;
      EXPECT_LE(ReadFile(out).size(), limit) << what;
      EXPECT_TRUE(chosen == n || at[chosen + 1].bytes > limit) << what << " chose " << chosen;
      // A cap below the target's answer bounds it.
      if (chosen > 1) {
        RunResult capped = run({"--max-bytes", std::to_string(limit), "--colours", std::to_string(chosen - 1)});
        ASSERT_EQ(capped.status, 0) << capped.err;
        EXPECT_LE(std::stoul(ReportValue(capped.out, "Colours kept")), chosen - 1) << what;
      }
    }
    // Unreachable: smaller than any GIF of the picture, or more quality than the cap allows.
    RunResult tiny = run({"--max-bytes", std::to_string(at[1].bytes - 1)});
    EXPECT_EQ(tiny.status, 1);
    EXPECT_EQ(Lines(tiny.err), 1) << tiny.err;
    EXPECT_NE(tiny.err.find(std::to_string(at[1].bytes)), std::string::npos) << "names the smallest: " << tiny.err;
    if (at[1].quality < 99.99) {
      RunResult capped = run({"--quality", "99.99", "--colours", "1"});
      EXPECT_EQ(capped.status, 1);
      EXPECT_EQ(Lines(capped.err), 1) << capped.err;
      EXPECT_FALSE(Exists(out));
    }
  }
}
