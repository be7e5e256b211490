// What this process holds now, read from /proc: its threads and its resident memory. Tests compare
// the values before and after many rounds of building and dropping objects, with a small fixed
// slack, to find what the rounds leave behind.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__PROCESS_USAGE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__PROCESS_USAGE_HPP_

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace orvanite_test
{
inline std::size_t ThreadCount()
{
  const std::filesystem::directory_iterator tasks("/proc/self/task");
  return static_cast<std::size_t>(std::distance(begin(tasks), end(tasks)));
}

// VmRSS of /proc/self/status, in bytes.
inline std::size_t ResidentBytes()
{
  std::ifstream status("/proc/self/status");
  for (std::string key; status >> key;) {
    if (key == "VmRSS:") {
      std::size_t kib = 0;
      status >> kib;
      return kib * 1024;
    }
    status.ignore(4096, '\n');
  }
  throw std::runtime_error("no VmRSS in /proc/self/status");
}
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__PROCESS_USAGE_HPP_
