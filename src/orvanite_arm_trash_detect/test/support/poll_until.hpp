// Waiting for a state that nothing announces (a handshake flag, a thread gone from /proc).
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__POLL_UNTIL_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__POLL_UNTIL_HPP_

#include <chrono>
#include <thread>

namespace orvanite_test
{
// True as soon as `predicate()` holds, false once `bound` has passed without it. The bound is
// only a guard against a hang, never a measure: it is far above what any loaded machine needs.
// Polls, since no notification exists for such states; each look gives the CPU away briefly.
template <typename Predicate>
bool PollUntil(Predicate predicate, std::chrono::steady_clock::duration bound)
{
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!predicate()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__POLL_UNTIL_HPP_
