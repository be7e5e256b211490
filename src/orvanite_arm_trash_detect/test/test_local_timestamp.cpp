#include "camera_detection_node/frame/local_timestamp.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <iomanip>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{
std::time_t Now() { return std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()); }

TEST(FormatLocalTimestamp, LocalTimeOfNowInWholeSeconds)
{
  const std::time_t before = Now();
  const std::string stamp = orvanite::FormatLocalTimestamp();
  const std::time_t after = Now();

  ASSERT_TRUE(std::regex_match(stamp, std::regex(R"(\d{4}-\d{2}-\d{2}-\d{2}-\d{2}-\d{2})")))
    << stamp;
  std::tm local{};
  std::istringstream text(stamp);
  text >> std::get_time(&local, "%Y-%m-%d-%H-%M-%S");
  ASSERT_FALSE(text.fail()) << stamp;
  local.tm_isdst = -1;
  const std::time_t parsed = std::mktime(&local);
  EXPECT_LE(before, parsed);
  EXPECT_LE(parsed, after);
}

TEST(FormatLocalTimestamp, CallsFromSeveralThreadsStayWellFormed)
{
  const std::regex pattern(R"(\d{4}-\d{2}-\d{2}-\d{2}-\d{2}-\d{2})");
  std::vector<std::vector<std::string>> stamps(4);
  std::vector<std::thread> threads;
  for (auto & list : stamps) {
    threads.emplace_back([&list] {
      for (int i = 0; i < 200; ++i) {
        list.push_back(orvanite::FormatLocalTimestamp());
      }
    });
  }
  for (auto & thread : threads) {
    thread.join();
  }
  for (const auto & list : stamps) {
    for (const auto & stamp : list) {
      ASSERT_TRUE(std::regex_match(stamp, pattern)) << stamp;
    }
  }
}
}  // namespace
