#include "common/keep_until_exit.hpp"

#include <mutex>
#include <utility>
#include <vector>

namespace orvanite
{

void KeepUntilExit(std::shared_ptr<const void> object)
{
  if (!object) {
    return;
  }
  // Never deleted, so not even static destruction at exit runs the kept destructors.
  static auto * mutex = new std::mutex();
  static auto * kept = new std::vector<std::shared_ptr<const void>>();
  const std::lock_guard<std::mutex> lock(*mutex);
  kept->push_back(std::move(object));
}

}  // namespace orvanite
