#include "common/logger.hpp"

#include <map>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "common/utils.hpp"
#include "support/log_capture.hpp"

namespace
{
int CounterOf(const std::string & line) { return std::stoi(line.substr(0, 3)); }

TEST(Logger, CounterRunsOneToOneHundredTwentySevenThenWraps)
{
  orvanite_test::LogCapture capture;
  // Bring the 8-bit counter to a known phase: the next message prints 1.
  LOG_INFO("sync");
  const int first = CounterOf(capture.Lines().front());
  const int to_skip = (128 - first) % 128;
  for (int i = 0; i < to_skip; ++i) {
    LOG_INFO("skip");
  }
  capture.Clear();
  for (int i = 0; i < 300; ++i) {
    LOG_INFO("n");
  }
  const auto lines = capture.Lines();
  ASSERT_EQ(lines.size(), 300u);
  EXPECT_EQ(lines[0], "  1 [INFO] n");
  EXPECT_EQ(lines[99], "100 [INFO] n");
  EXPECT_EQ(lines[126], "127 [INFO] n");
  EXPECT_EQ(lines[127], "  0 [INFO] n");
  EXPECT_EQ(lines[128], "  1 [INFO] n");
  // Across the wrap of the 8-bit counter the sequence simply goes on.
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(CounterOf(lines[i]), static_cast<int>((i + 1) % 128)) << i;
  }
}

TEST(Logger, PrefixesOfEveryLevel)
{
  orvanite_test::LogCapture capture;
  LOG_DEBUG("abc");
  LOG_INFO("abc");
  LOG_WARN("abc");
  LOG_ERROR("abc");
  EXPECT_EQ(
    capture.Messages(),
    (std::vector<std::string>{"[DEBUG] abc", "[INFO] abc", "[WARN] abc", "[ERROR] abc"}));
  for (const auto & record : capture.Records()) {
    EXPECT_EQ(record.line[3], ' ');
  }
}

TEST(Logger, BracesInsideAnArgumentAreWrittenLiterally)
{
  orvanite_test::LogCapture capture;
  LOG_INFO("value {} and {}", "{}", "{0:3d}");
  EXPECT_EQ(capture.Messages(), std::vector<std::string>{"[INFO] value {} and {0:3d}"});
}

TEST(Logger, RecordsCarryTheSourceLocation)
{
  orvanite_test::LogCapture capture;
  const int line = __LINE__ + 1;
  LOG_WARN("here");
  [] { LOG_INFO("in a lambda"); }();
  orvaniteLogDebugMatrix4f("m", Eigen::Matrix4f::Identity());
  const auto records = capture.Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].file, "./test/test_logger.cpp");
  EXPECT_EQ(records[0].source_line, line);
  EXPECT_EQ(records[0].function, "TestBody");
  EXPECT_EQ(records[0].level, 3);
  EXPECT_EQ(records[1].function, "operator()");
  EXPECT_EQ(records[2].file, "./src/common/utils.cpp");
  EXPECT_EQ(records[2].function, "orvaniteLogDebugMatrix4f");
  EXPECT_EQ(records[2].level, 1);
}

TEST(Logger, ConcurrentMessagesNeverShareAnIncrement)
{
  orvanite_test::LogCapture capture;
  constexpr int kThreads = 8;
  constexpr int kPerThread = 64;  // 512 increments: every value 0..127 printed exactly 4 times
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kPerThread; ++i) {
        LOG_INFO("thread {} message {}", t, i);
      }
    });
  }
  for (auto & thread : threads) {
    thread.join();
  }
  std::map<int, int> seen;
  for (const auto & line : capture.Lines()) {
    ++seen[CounterOf(line)];
  }
  ASSERT_EQ(seen.size(), 128u);
  for (const auto & entry : seen) {
    EXPECT_EQ(entry.second, 4) << "number " << entry.first;
  }
}

TEST(Logger, MessagesBelowTheLevelAreFormattedButNotCounted)
{
  // This binary runs at debug level; level 0 has no macro, so go through Log directly.
  orvanite_test::LogCapture capture;
  LOG_INFO("before");
  int evaluated = 0;
  orvanite::Logger::Instance().Log(
    spdlog::source_loc{__FILE__, __LINE__, "x"}, 0, "{0:3d} [TRACE] ", "{}", ++evaluated);
  LOG_INFO("after");
  const auto lines = capture.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(evaluated, 1);
  EXPECT_EQ((CounterOf(lines[0]) + 1) % 128, CounterOf(lines[1]));
}
}  // namespace
