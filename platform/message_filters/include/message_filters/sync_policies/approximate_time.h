// The approximate-time synchronisation policy ("pivot" algorithm).
//
// Each input keeps a deque of unexamined messages and a list of messages set aside while a
// better candidate set is sought. A candidate is the set of the oldest message of every
// input; its latest input is the pivot. Candidates are tried by discarding the oldest message
// until the pivot's message would go, and the one of smallest spread wins, a later one being
// charged (1 + age penalty) for its delay. A set is published as soon as it is provably
// optimal (no later set could be smaller), using the inputs' inter-message lower bounds for
// inputs that have no message yet. Every message is used at most once, output sets do not
// cross, and at most queue_size messages per input are held. Defaults: age penalty 0.1, no
// maximum interval, lower bounds 0.
#ifndef MESSAGE_FILTERS__SYNC_POLICIES__APPROXIMATE_TIME_H_
#define MESSAGE_FILTERS__SYNC_POLICIES__APPROXIMATE_TIME_H_

#include <array>
#include <cassert>
#include <cstdint>
#include <deque>
#include <limits>
#include <mutex>
#include <tuple>
#include <utility>
#include <vector>

#include "message_filters/message_traits.h"
#include "message_filters/null_types.h"
#include "message_filters/synchronizer.h"
#include "rclcpp/duration.hpp"
#include "rclcpp/logging.hpp"
#include "rclcpp/time.hpp"

namespace message_filters
{
namespace sync_policies
{

template <
  typename M0, typename M1, typename M2 = NullType, typename M3 = NullType, typename M4 = NullType,
  typename M5 = NullType, typename M6 = NullType, typename M7 = NullType, typename M8 = NullType>
struct ApproximateTime : public PolicyBase<M0, M1, M2, M3, M4, M5, M6, M7, M8>
{
  typedef Synchronizer<ApproximateTime> Sync;
  typedef PolicyBase<M0, M1, M2, M3, M4, M5, M6, M7, M8> Super;
  typedef typename Super::Messages Messages;
  typedef typename Super::Signal Signal;
  typedef typename Super::Events Events;
  typedef typename Super::RealTypeCount RealTypeCount;

  // queue_size bounds the messages held per input; it must be positive.
  ApproximateTime(uint32_t queue_size)  // NOLINT: implicit as in ROS 2
  : queue_size_(queue_size), max_interval_duration_(std::numeric_limits<int32_t>::max(), 999999999)
  {
    assert(queue_size_ > 0);
    dropped_.fill(false);
    warned_about_incorrect_bound_.fill(false);
  }

  ApproximateTime(const ApproximateTime & e) : max_interval_duration_(e.max_interval_duration_)
  {
    *this = e;
  }

  ApproximateTime & operator=(const ApproximateTime & rhs)
  {
    parent_ = rhs.parent_;
    queue_size_ = rhs.queue_size_;
    num_non_empty_deques_ = rhs.num_non_empty_deques_;
    deques_ = rhs.deques_;
    past_ = rhs.past_;
    candidate_ = rhs.candidate_;
    candidate_start_ = rhs.candidate_start_;
    candidate_end_ = rhs.candidate_end_;
    pivot_ = rhs.pivot_;
    pivot_time_ = rhs.pivot_time_;
    dropped_ = rhs.dropped_;
    inter_message_lower_bounds_ = rhs.inter_message_lower_bounds_;
    warned_about_incorrect_bound_ = rhs.warned_about_incorrect_bound_;
    age_penalty_ = rhs.age_penalty_;
    max_interval_duration_ = rhs.max_interval_duration_;
    return *this;
  }

  void initParent(Sync * parent) { parent_ = parent; }

  template <int i>
  void add(const typename std::tuple_element<i, Events>::type & evt)
  {
    std::lock_guard<std::mutex> lock(data_mutex_);
    auto & deque = std::get<i>(deques_);
    auto & past = std::get<i>(past_);
    deque.push_back(evt);
    if (deque.size() == 1u) {
      ++num_non_empty_deques_;
      if (num_non_empty_deques_ == kCount) {
        process();
      }
    } else {
      checkInterMessageBound<i>();
    }
    if (deque.size() + past.size() > queue_size_) {
      // Abandon the search, put every set-aside message back and drop this input's oldest.
      num_non_empty_deques_ = 0;
      for (int k = 0; k < kCount; ++k) {
        recover(k, std::numeric_limits<size_t>::max());
      }
      deque.pop_front();
      dropped_[i] = true;
      if (pivot_ != kNoPivot) {
        candidate_ = Events();
        pivot_ = kNoPivot;
        process();
      }
    }
  }

  // Extra cost of a later candidate, as a fraction of its delay; must not be negative.
  void setAgePenalty(double age_penalty)
  {
    assert(age_penalty >= 0);
    age_penalty_ = age_penalty;
  }

  // The smallest spacing of input i's stamps; lets a set be proven optimal earlier.
  void setInterMessageLowerBound(int i, rclcpp::Duration lower_bound)
  {
    assert(lower_bound >= rclcpp::Duration(0, 0));
    inter_message_lower_bounds_[i] = lower_bound;
  }

  // Sets whose spread exceeds this are never published.
  void setMaxIntervalDuration(rclcpp::Duration max_interval_duration)
  {
    assert(max_interval_duration >= rclcpp::Duration(0, 0));
    max_interval_duration_ = max_interval_duration;
  }

private:
  static constexpr int kCount = RealTypeCount::value;
  static constexpr int kNoPivot = 9;

  typedef std::tuple<
    std::deque<typename std::tuple_element<0, Events>::type>,
    std::deque<typename std::tuple_element<1, Events>::type>,
    std::deque<typename std::tuple_element<2, Events>::type>,
    std::deque<typename std::tuple_element<3, Events>::type>,
    std::deque<typename std::tuple_element<4, Events>::type>,
    std::deque<typename std::tuple_element<5, Events>::type>,
    std::deque<typename std::tuple_element<6, Events>::type>,
    std::deque<typename std::tuple_element<7, Events>::type>,
    std::deque<typename std::tuple_element<8, Events>::type>>
    DequeTuple;
  typedef std::tuple<
    std::vector<typename std::tuple_element<0, Events>::type>,
    std::vector<typename std::tuple_element<1, Events>::type>,
    std::vector<typename std::tuple_element<2, Events>::type>,
    std::vector<typename std::tuple_element<3, Events>::type>,
    std::vector<typename std::tuple_element<4, Events>::type>,
    std::vector<typename std::tuple_element<5, Events>::type>,
    std::vector<typename std::tuple_element<6, Events>::type>,
    std::vector<typename std::tuple_element<7, Events>::type>,
    std::vector<typename std::tuple_element<8, Events>::type>>
    VectorTuple;

  // Calls f(std::integral_constant<size_t, i>) for the runtime input index i.
  template <typename F>
  static void visit(int i, F && f)
  {
    visit_impl(i, f, std::make_index_sequence<9>());
  }

  template <typename F, size_t... I>
  static void visit_impl(int i, F & f, std::index_sequence<I...>)
  {
    ((i == static_cast<int>(I) ? (void)f(std::integral_constant<size_t, I>()) : (void)0), ...);
  }

  template <typename Event>
  static rclcpp::Time stamp(const Event & event)
  {
    typedef typename std::remove_const<
      typename std::remove_reference<decltype(*event.getConstMessage())>::type>::type Message;
    return message_traits::TimeStamp<Message>::value(*event.getConstMessage());
  }

  bool dequeEmpty(int i)
  {
    bool empty = true;
    visit(i, [&](auto k) { empty = std::get<decltype(k)::value>(deques_).empty(); });
    return empty;
  }

  rclcpp::Time headTime(int i)
  {
    rclcpp::Time time(0, 0, RCL_ROS_TIME);
    visit(i, [&](auto k) { time = stamp(std::get<decltype(k)::value>(deques_).front()); });
    return time;
  }

  void dequeDeleteFront(int i)
  {
    visit(i, [&](auto k) {
      auto & deque = std::get<decltype(k)::value>(deques_);
      deque.pop_front();
      if (deque.empty()) {
        --num_non_empty_deques_;
      }
    });
  }

  void dequeMoveFrontToPast(int i)
  {
    visit(i, [&](auto k) {
      auto & deque = std::get<decltype(k)::value>(deques_);
      std::get<decltype(k)::value>(past_).push_back(deque.front());
      deque.pop_front();
      if (deque.empty()) {
        --num_non_empty_deques_;
      }
    });
  }

  // The fronts of all inputs become the candidate; set-aside messages are discarded.
  void makeCandidate()
  {
    for (int i = 0; i < kCount; ++i) {
      visit(i, [&](auto k) {
        std::get<decltype(k)::value>(candidate_) = std::get<decltype(k)::value>(deques_).front();
        std::get<decltype(k)::value>(past_).clear();
      });
    }
  }

  // Moves up to `count` set-aside messages of input i back to the front of its deque.
  void recover(int i, size_t count)
  {
    visit(i, [&](auto k) {
      auto & deque = std::get<decltype(k)::value>(deques_);
      auto & past = std::get<decltype(k)::value>(past_);
      for (size_t n = 0; n < count && !past.empty(); ++n) {
        deque.push_front(past.back());
        past.pop_back();
      }
      if (!deque.empty()) {
        ++num_non_empty_deques_;
      }
    });
  }

  // Puts every set-aside message back and removes the published one of each input.
  void recoverAndDelete(int i)
  {
    visit(i, [&](auto k) {
      auto & deque = std::get<decltype(k)::value>(deques_);
      auto & past = std::get<decltype(k)::value>(past_);
      while (!past.empty()) {
        deque.push_front(past.back());
        past.pop_back();
      }
      deque.pop_front();
      if (!deque.empty()) {
        ++num_non_empty_deques_;
      }
    });
  }

  void publishCandidate()
  {
    parent_->signal(
      std::get<0>(candidate_), std::get<1>(candidate_), std::get<2>(candidate_),
      std::get<3>(candidate_), std::get<4>(candidate_), std::get<5>(candidate_),
      std::get<6>(candidate_), std::get<7>(candidate_), std::get<8>(candidate_));
    candidate_ = Events();
    pivot_ = kNoPivot;
    num_non_empty_deques_ = 0;
    for (int i = 0; i < kCount; ++i) {
      recoverAndDelete(i);
    }
  }

  // Earliest (lowest index on ties) and latest (highest index on ties) of the given times.
  template <typename TimeOf>
  void bounds(
    TimeOf time_of, int & start, rclcpp::Time & start_time, int & end, rclcpp::Time & end_time)
  {
    start = end = 0;
    start_time = end_time = time_of(0);
    for (int i = 1; i < kCount; ++i) {
      const rclcpp::Time t = time_of(i);
      if (t < start_time) {
        start_time = t;
        start = i;
      }
      if (t >= end_time) {
        end_time = t;
        end = i;
      }
    }
  }

  // The head stamp, or for an empty input the earliest stamp its next message can have.
  rclcpp::Time virtualTime(int i)
  {
    if (!dequeEmpty(i)) {
      return headTime(i);
    }
    rclcpp::Time last(0, 0, RCL_ROS_TIME);
    visit(i, [&](auto k) { last = stamp(std::get<decltype(k)::value>(past_).back()); });
    const rclcpp::Time lower_bound = last + inter_message_lower_bounds_[i];
    return lower_bound > pivot_time_ ? lower_bound : pivot_time_;
  }

  // Whether a set ending at `end` cannot beat the candidate that starts at `start`.
  bool notBetter(const rclcpp::Time & end, const rclcpp::Time & start)
  {
    return (end - candidate_end_) * (1 + age_penalty_) >= (start - candidate_start_);
  }

  void process()
  {
    while (num_non_empty_deques_ == kCount) {
      int start_index = 0;
      int end_index = 0;
      rclcpp::Time start_time;
      rclcpp::Time end_time;
      bounds([this](int i) { return headTime(i); }, start_index, start_time, end_index, end_time);
      for (int i = 0; i < kCount; ++i) {
        if (i != end_index) {
          dropped_[i] = false;
        }
      }
      if (pivot_ == kNoPivot) {
        if (end_time - start_time > max_interval_duration_ || dropped_[end_index]) {
          dequeDeleteFront(start_index);
          continue;
        }
        makeCandidate();
        candidate_start_ = start_time;
        candidate_end_ = end_time;
        pivot_ = end_index;
        pivot_time_ = end_time;
        dequeMoveFrontToPast(start_index);
      } else {
        if (!notBetter(end_time, start_time)) {
          makeCandidate();
          candidate_start_ = start_time;
          candidate_end_ = end_time;
        }
        dequeMoveFrontToPast(start_index);
      }
      if (start_index == pivot_) {
        publishCandidate();
      } else if (notBetter(end_time, pivot_time_)) {
        publishCandidate();
      } else if (num_non_empty_deques_ < kCount) {
        proveWithLowerBounds();
      }
    }
  }

  // Tries to show with the inputs' lower bounds that no later set can beat the candidate;
  // publishes if so, otherwise undoes its trial moves.
  void proveWithLowerBounds()
  {
    std::array<size_t, 9> virtual_moves{};
    while (true) {
      int start_index = 0;
      int end_index = 0;
      rclcpp::Time start_time;
      rclcpp::Time end_time;
      bounds(
        [this](int i) { return virtualTime(i); }, start_index, start_time, end_index, end_time);
      if (notBetter(end_time, pivot_time_)) {
        publishCandidate();
        return;
      }
      if (!notBetter(end_time, start_time)) {
        num_non_empty_deques_ = 0;
        for (int i = 0; i < kCount; ++i) {
          recover(i, virtual_moves[i]);
        }
        return;
      }
      dequeMoveFrontToPast(start_index);
      ++virtual_moves[start_index];
    }
  }

  // Warns once per input about stamps out of order or closer than the declared lower bound.
  template <int i>
  void checkInterMessageBound()
  {
    if (warned_about_incorrect_bound_[i]) {
      return;
    }
    auto & deque = std::get<i>(deques_);
    auto & past = std::get<i>(past_);
    const rclcpp::Time msg_time = stamp(deque.back());
    rclcpp::Time previous_time(0, 0, RCL_ROS_TIME);
    if (deque.size() >= 2u) {
      previous_time = stamp(deque[deque.size() - 2]);
    } else if (!past.empty()) {
      previous_time = stamp(past.back());
    } else {
      return;
    }
    if (msg_time < previous_time) {
      RCLCPP_WARN(
        rclcpp::get_logger("message_filters"),
        "Messages of type %d arrived out of order (will print only once)", i);
      warned_about_incorrect_bound_[i] = true;
    } else if ((msg_time - previous_time) < inter_message_lower_bounds_[i]) {
      RCLCPP_WARN(
        rclcpp::get_logger("message_filters"),
        "Messages of type %d arrived closer (%ld ns) than the lower bound you provided (%ld ns) "
        "(will print only once)",
        i, static_cast<long>((msg_time - previous_time).nanoseconds()),
        static_cast<long>(inter_message_lower_bounds_[i].nanoseconds()));
      warned_about_incorrect_bound_[i] = true;
    }
  }

  Sync * parent_ = nullptr;
  uint32_t queue_size_ = 1;
  int num_non_empty_deques_ = 0;
  DequeTuple deques_;
  VectorTuple past_;
  Events candidate_;
  rclcpp::Time candidate_start_{0, 0, RCL_ROS_TIME};
  rclcpp::Time candidate_end_{0, 0, RCL_ROS_TIME};
  rclcpp::Time pivot_time_{0, 0, RCL_ROS_TIME};
  int pivot_ = kNoPivot;
  std::array<bool, 9> dropped_;
  std::array<rclcpp::Duration, 9> inter_message_lower_bounds_{
    rclcpp::Duration(0, 0), rclcpp::Duration(0, 0), rclcpp::Duration(0, 0),
    rclcpp::Duration(0, 0), rclcpp::Duration(0, 0), rclcpp::Duration(0, 0),
    rclcpp::Duration(0, 0), rclcpp::Duration(0, 0), rclcpp::Duration(0, 0)};
  std::array<bool, 9> warned_about_incorrect_bound_;
  double age_penalty_ = 0.1;
  rclcpp::Duration max_interval_duration_;
  std::mutex data_mutex_;
};

}  // namespace sync_policies
}  // namespace message_filters

#endif  // MESSAGE_FILTERS__SYNC_POLICIES__APPROXIMATE_TIME_H_
