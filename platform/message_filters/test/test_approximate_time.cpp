// The approximate-time policy against the reference vectors of the pivot algorithm.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "message_filters/sync_policies/approximate_time.h"
#include "message_filters/synchronizer.h"
#include "std_msgs/msg/header.hpp"

namespace
{

// Any type with a std_msgs header is synchronised by its header stamp.
struct Msg
{
  std_msgs::msg::Header header;
};
using Ptr = std::shared_ptr<Msg const>;
using Set = std::vector<int>;  // stamps in seconds, one per topic

struct Input
{
  int stamp;
  int topic;
};

Ptr at(int seconds)
{
  auto msg = std::make_shared<Msg>();
  msg->header.stamp.sec = seconds;
  return msg;
}

int seconds_of(const Ptr & msg) { return msg->header.stamp.sec; }

struct TwoTopicCollector
{
  std::vector<Set> sets;
  void cb(const Ptr & a, const Ptr & b) { sets.push_back({seconds_of(a), seconds_of(b)}); }
};

struct FourTopicCollector
{
  std::vector<Set> sets;
  void cb(const Ptr & a, const Ptr & b, const Ptr & c, const Ptr & d)
  {
    sets.push_back({seconds_of(a), seconds_of(b), seconds_of(c), seconds_of(d)});
  }
};

template <typename Sync>
void feed(Sync & sync, const std::vector<Input> & inputs)
{
  for (const auto & in : inputs) {
    if (in.topic == 0) {
      sync.template add<0>(at(in.stamp));
    } else if (in.topic == 1) {
      sync.template add<1>(at(in.stamp));
    } else if constexpr (Sync::RealTypeCount::value == 4) {
      if (in.topic == 2) {
        sync.template add<2>(at(in.stamp));
      } else {
        sync.template add<3>(at(in.stamp));
      }
    }
  }
}

struct TwoTopicCase
{
  const char * name;
  uint32_t queue_size;
  double lower_bound_topic0;  // seconds, 0 = none
  std::vector<Input> inputs;
  std::vector<Set> expected;
};

const std::vector<Input> kPerfect = {{0, 0}, {1, 1}, {3, 0}, {4, 1}, {6, 0}, {7, 1}};
const std::vector<Input> kDropped = {{0, 0}, {1, 1},  {3, 1},  {4, 0},  {7, 1},
                                     {8, 0}, {10, 0}, {11, 1}, {13, 0}, {14, 1}};

const TwoTopicCase kTwoTopicCases[] = {
  {"ExactMatch", 10, 0, {{0, 0}, {0, 1}, {3, 0}, {3, 1}, {6, 0}, {6, 1}}, {{0, 0}, {3, 3}, {6, 6}}},
  {"PerfectMatch", 10, 0, kPerfect, {{0, 1}, {3, 4}}},
  {"ImperfectMatch",
   10,
   0,
   {{0, 0}, {1, 1}, {2, 0}, {3, 0}, {5, 1}, {6, 0}, {7, 1}},
   {{0, 1}, {6, 5}}},
  {"Acceleration",
   10,
   0,
   {{0, 0}, {7, 1}, {12, 0}, {15, 1}, {17, 0}, {18, 1}},
   {{12, 7}, {17, 18}}},
  {"DroppedMessagesQueue1", 1, 0, kDropped, {{4, 3}, {10, 11}}},
  {"DroppedMessagesQueue2", 2, 0, kDropped, {{0, 1}, {4, 3}, {8, 7}, {10, 11}}},
  {"LongQueue",
   5,
   0,
   {{0, 0},
    {1, 0},
    {2, 0},
    {3, 0},
    {4, 0},
    {5, 0},
    {6, 0},
    {7, 0},
    {8, 0},
    {3, 1},
    {9, 0},
    {10, 0},
    {11, 0},
    {12, 0},
    {10, 1},
    {13, 0}},
   {{10, 10}}},
  {"DoublePublish", 10, 0, {{0, 0}, {1, 1}, {3, 1}, {3, 0}}, {{0, 1}, {3, 3}}},
  {"RateBound1.5", 10, 1.5, kPerfect, {{0, 1}, {3, 4}}},
  {"RateBound2", 10, 2.0, kPerfect, {{0, 1}, {3, 4}, {6, 7}}},
};

}  // namespace

TEST(ApproximateTime, TwoTopicVectors)
{
  using Policy = message_filters::sync_policies::ApproximateTime<Msg, Msg>;
  for (const auto & c : kTwoTopicCases) {
    TwoTopicCollector collector;
    message_filters::Synchronizer<Policy> sync(Policy(c.queue_size));
    if (c.lower_bound_topic0 > 0) {
      sync.setInterMessageLowerBound(0, rclcpp::Duration::from_seconds(c.lower_bound_topic0));
    }
    sync.registerCallback(&TwoTopicCollector::cb, &collector);
    feed(sync, c.inputs);
    EXPECT_EQ(collector.sets, c.expected) << c.name;
  }
}

TEST(ApproximateTime, FourTopicVectors)
{
  using Policy = message_filters::sync_policies::ApproximateTime<Msg, Msg, Msg, Msg>;
  struct Case
  {
    const char * name;
    std::vector<Input> inputs;
    std::vector<Set> expected;
  };
  const Case cases[] = {
    {"FourTopics",
     {{0, 0},
      {1, 1},
      {2, 2},
      {3, 3},
      {5, 0},
      {5, 3},
      {6, 1},
      {6, 2},
      {8, 0},
      {9, 1},
      {10, 2},
      {11, 3},
      {10, 0},
      {13, 0},
      {14, 1}},
     {{0, 1, 2, 3}, {5, 6, 6, 5}, {10, 9, 10, 11}}},
    {"EarlyPublish", {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {7, 0}}, {{0, 1, 2, 3}}},
  };
  for (const auto & c : cases) {
    FourTopicCollector collector;
    message_filters::Synchronizer<Policy> sync(Policy(10));
    sync.registerCallback(&FourTopicCollector::cb, &collector);
    feed(sync, c.inputs);
    EXPECT_EQ(collector.sets, c.expected) << c.name;
  }
}

TEST(ApproximateTime, AgePenaltyZeroGivesTheSameSets)
{
  using Policy = message_filters::sync_policies::ApproximateTime<Msg, Msg>;
  for (const auto & c : kTwoTopicCases) {
    TwoTopicCollector collector;
    message_filters::Synchronizer<Policy> sync(Policy(c.queue_size));
    sync.setAgePenalty(0.0);
    if (c.lower_bound_topic0 > 0) {
      sync.setInterMessageLowerBound(0, rclcpp::Duration::from_seconds(c.lower_bound_topic0));
    }
    sync.registerCallback(&TwoTopicCollector::cb, &collector);
    feed(sync, c.inputs);
    EXPECT_EQ(collector.sets, c.expected) << c.name;
  }
}

TEST(ApproximateTime, MaxIntervalSuppressesWideSets)
{
  using Policy = message_filters::sync_policies::ApproximateTime<Msg, Msg>;
  TwoTopicCollector collector;
  message_filters::Synchronizer<Policy> sync(Policy(10));
  sync.setMaxIntervalDuration(rclcpp::Duration::from_seconds(2.0));
  sync.registerCallback(&TwoTopicCollector::cb, &collector);
  feed(sync, {{0, 0}, {7, 1}, {12, 0}, {15, 1}, {17, 0}, {18, 1}});
  EXPECT_EQ(collector.sets, (std::vector<Set>{{17, 18}}));
}

namespace
{
// Plain functions write where the test points them; a function pointer carries no object.
std::vector<Set> * pairs_seen = nullptr;
std::vector<Set> * references_seen = nullptr;

void collectPair(const Ptr & a, const Ptr & b)
{
  pairs_seen->push_back({seconds_of(a), seconds_of(b)});
}

void collectReferences(const Msg & a, const Msg & b)
{
  references_seen->push_back({a.header.stamp.sec, b.header.stamp.sec});
}
}  // namespace

TEST(Synchronizer, DeliversToPlainFunctionPointers)
{
  using Policy = message_filters::sync_policies::ApproximateTime<Msg, Msg>;
  std::vector<Set> pairs;
  std::vector<Set> references;
  pairs_seen = &pairs;
  references_seen = &references;

  message_filters::Synchronizer<Policy> sync(Policy(10));
  void (*const as_variable)(const Ptr &, const Ptr &) = &collectPair;
  sync.registerCallback(as_variable);
  sync.registerCallback(&collectReferences);
  feed(sync, kPerfect);

  const std::vector<Set> expected = {{0, 1}, {3, 4}};
  EXPECT_EQ(pairs, expected);
  EXPECT_EQ(references, expected);
  pairs_seen = references_seen = nullptr;
}
