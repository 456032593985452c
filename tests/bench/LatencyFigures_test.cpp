// The latency benchmark's arithmetic: its figures are only as good as the
// percentiles, the tick grid and the reading of the kernel's timer report.

#include <gtest/gtest.h>

#include <vector>

#include "DelayFigures.h"
#include "TickSchedule.h"

namespace brevanto::bench {
namespace {

TEST(LatencyFigures, PercentilesAreNearestRankSamples) {
  struct Case {
    std::vector<int64_t> samples;
    DelayFigures expected;
  };
  std::vector<int64_t> hundred;
  for (int64_t i = 100; i >= 1; --i) hundred.push_back(i);
  std::vector<int64_t> thousand;
  for (int64_t i = 1; i <= 1000; ++i) thousand.push_back(i);
  const Case cases[] = {
      {{}, {0, 0, 0, 0, 0}},
      {{7}, {1, 7, 7, 7, 7}},
      // An even count takes the lower middle; p99 of two is the larger.
      {{5, 1}, {2, 1, 1, 5, 5}},
      {hundred, {100, 1, 50, 99, 100}},
      {thousand, {1000, 1, 500, 990, 1000}},
      {{-3, 10, -8}, {3, -8, -3, 10, 10}},
  };
  for (const Case& c : cases) {
    const DelayFigures f = Summarize(c.samples);
    SCOPED_TRACE(::testing::Message() << c.samples.size() << " samples");
    EXPECT_EQ(f.count, c.expected.count);
    EXPECT_EQ(f.min, c.expected.min);
    EXPECT_EQ(f.p50, c.expected.p50);
    EXPECT_EQ(f.p99, c.expected.p99);
    EXPECT_EQ(f.max, c.expected.max);
  }
}

TEST(LatencyFigures, NextTickIsTheFirstDueTimeAfterTheChange) {
  struct Case {
    int64_t t, phase, period, expected;
  };
  const Case cases[] = {
      {5, 0, 16, 16},
      // A change made exactly at a due time waits for the next one: the
      // tick of that moment has already read the controller.
      {16, 0, 16, 32},
      {15, 0, 16, 16},
      // The phase may lie after the change, or be any point of the grid.
      {100, 1003, 10, 103},
      {102, 103, 10, 103},
      {1000003, 3, 1000, 1001003},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextTickAfter(c.t, c.phase, c.period), c.expected)
        << "t " << c.t << ", phase " << c.phase << ", period " << c.period;
  }
}

TEST(LatencyFigures, ReadsTheKernelsTimerReport) {
  const char armed[] =
      "pos:\t0\nflags:\t02000002\nmnt_id:\t17\nino:\t1038\n"
      "clockid: 1\nticks: 0\nsettime flags: 01\n"
      "it_value: (0, 999262934)\nit_interval: (0, 1000000)\n";
  const std::optional<TimerFdInfo> info = ParseTimerFdInfo(armed);
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->clockId, 1);
  EXPECT_TRUE(info->absolute);
  EXPECT_EQ(info->remainingNs, 999262934);
  EXPECT_EQ(info->intervalNs, 1000000);

  // Expired and not read yet; relative; seconds count.
  const std::optional<TimerFdInfo> relative = ParseTimerFdInfo(
      "clockid: 0\nticks: 3\nsettime flags: 00\nit_value: (0, 0)\nit_interval: (2, 500)\n");
  ASSERT_TRUE(relative.has_value());
  EXPECT_EQ(relative->clockId, 0);
  EXPECT_FALSE(relative->absolute);
  EXPECT_EQ(relative->remainingNs, 0);
  EXPECT_EQ(relative->intervalNs, 2000000500);

  // An eventfd, and a timer report cut short.
  EXPECT_FALSE(ParseTimerFdInfo("pos:\t0\nflags:\t02004002\nmnt_id:\t17\neventfd-count: 0\n"));
  EXPECT_FALSE(ParseTimerFdInfo("clockid: 1\nticks: 0\nsettime flags: 01\nit_value: (0, 5)\n"));
}

}  // namespace
}  // namespace brevanto::bench
