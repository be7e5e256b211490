// What wakes an executor's wait, as on Humble: work, cancel()'s interrupt (pending until the next
// wait, which it ends), shutdown and the time-out; a future that completes on its own does not.
// And a process that exits without rclcpp::shutdown() while a thread still waits.
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "rclcpp/rclcpp.hpp"

namespace
{
// Bounds every wait of these tests; reached only when a wake-up is lost.
constexpr auto kPatience = std::chrono::seconds(30);

// A future that counts how often it is checked and reports ready from check `ready_at` on
// (0: never).
class CountingFuture
{
public:
  explicit CountingFuture(int ready_at) : ready_at_(ready_at) {}

  std::future_status wait_for(std::chrono::seconds) const
  {
    const int check = ++checks_;
    return ready_at_ != 0 && check >= ready_at_ ? std::future_status::ready
                                                : std::future_status::timeout;
  }
  int checks() const { return checks_; }

private:
  int ready_at_;
  mutable std::atomic<int> checks_{0};
};

// Runs `spin` on a thread and waits for it, bounded. A spin still blocked then has lost a
// wake-up; it is released with another cancel() so that the test can end, and reported.
template <typename SpinT>
auto SpinBounded(rclcpp::Executor & executor, SpinT spin)
{
  auto done = std::async(std::launch::async, spin);
  if (done.wait_for(kPatience) != std::future_status::ready) {
    ADD_FAILURE() << "the spin did not end: a wake-up was lost";
    executor.cancel();
  }
  return done.get();
}

TEST(ExecutorWakeUps, SpinUntilFutureCompleteChecksTheFutureOnlyAfterAWait)
{
  struct Case
  {
    const char * what;
    bool cancel_first;
    int ready_at;
    std::chrono::milliseconds timeout;
    rclcpp::FutureReturnCode code;
    int checks;
  };
  using rclcpp::FutureReturnCode;
  const Case cases[] = {
    // Nothing wakes the one wait before its time-out, however long it is.
    {"no wake-up", false, 0, std::chrono::milliseconds(100), FutureReturnCode::TIMEOUT, 2},
    // The earlier cancel is lost (the call sets the spinning flag itself), but its interrupt
    // ends exactly one wait: the future is checked after it and after the time-out.
    {"cancel before", true, 0, std::chrono::milliseconds(100), FutureReturnCode::TIMEOUT, 3},
    // A future completed between the first check and the spin is seen after that one wait,
    // even without a time-out: set-then-cancel cannot hang.
    {"completed after a lost cancel", true, 2, std::chrono::milliseconds(-1),
     FutureReturnCode::SUCCESS, 2},
    {"completed before", false, 1, std::chrono::milliseconds(-1), FutureReturnCode::SUCCESS, 1},
  };
  for (const Case & c : cases) {
    rclcpp::executors::SingleThreadedExecutor executor;
    if (c.cancel_first) {
      executor.cancel();
    }
    const CountingFuture future(c.ready_at);
    const auto code =
      SpinBounded(executor, [&] { return executor.spin_until_future_complete(future, c.timeout); });
    EXPECT_EQ(code, c.code) << c.what;
    EXPECT_EQ(future.checks(), c.checks) << c.what;
    EXPECT_FALSE(executor.is_spinning()) << c.what;
  }
}

TEST(ExecutorWakeUps, CancelBeforeSpinOnceEndsItsWait)
{
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.cancel();
  SpinBounded(executor, [&] { executor.spin_once(); });
}

// The way to stop a thread that spins until a future completes: complete the future, then
// cancel. Whatever point the thread has reached, it ends.
TEST(ExecutorWakeUps, CompletingThenCancellingAlwaysEndsSpinUntilFutureComplete)
{
  const auto node = std::make_shared<rclcpp::Node>("stoppable");
  for (int round = 0; round < 300; ++round) {
    rclcpp::executors::SingleThreadedExecutor executor;
    executor.add_node(node);
    std::promise<void> stop;
    const std::shared_future<void> stopped = stop.get_future().share();
    std::future<rclcpp::FutureReturnCode> spinning = std::async(
      std::launch::async,
      [&executor, stopped] { return executor.spin_until_future_complete(stopped); });
    stop.set_value();
    executor.cancel();
    ASSERT_EQ(spinning.wait_for(kPatience), std::future_status::ready) << "round " << round;
    // INTERRUPTED when the cancel came between the spin's first check and its loop.
    EXPECT_NE(spinning.get(), rclcpp::FutureReturnCode::TIMEOUT) << "round " << round;
    executor.remove_node(node);
  }
}

// The state letter of a thread of this process in /proc ('S': sleeping in a wait).
char ThreadState(pid_t tid)
{
  std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
  std::string line;
  std::getline(stat, line);
  const auto name_end = line.rfind(')');
  return name_end == std::string::npos || name_end + 2 >= line.size() ? '?' : line[name_end + 2];
}

TEST(ExitWithoutShutdownDeathTest, ExitReturnsWhileAThreadStillWaits)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
    {
      // Never destroyed, like a node kept until the process ends.
      auto * executor = new rclcpp::executors::SingleThreadedExecutor();
      executor->add_node(std::make_shared<rclcpp::Node>("kept_until_exit"));
      std::atomic<pid_t> tid{0};
      std::thread([executor, &tid] {
        tid = static_cast<pid_t>(syscall(SYS_gettid));
        executor->spin();
      }).detach();
      // Polled: nothing announces that a thread sleeps. The bound only ends a hang.
      const auto waiting = [&] {
        return tid != 0 && executor->is_spinning() && ThreadState(tid) == 'S';
      };
      const auto deadline = std::chrono::steady_clock::now() + kPatience;
      while (!waiting() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      if (!waiting()) {
        _exit(2);  // the thread never reached its wait: nothing would be tested
      }
      // A hang in exit() ends with SIGALRM instead of an exit code.
      alarm(30);
      std::exit(0);
    },
    ::testing::ExitedWithCode(0), "");
}
}  // namespace
