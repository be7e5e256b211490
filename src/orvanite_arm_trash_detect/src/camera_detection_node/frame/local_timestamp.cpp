#include "camera_detection_node/frame/local_timestamp.hpp"

#include <chrono>
#include <ctime>
#include <iomanip>
#include <sstream>

namespace orvanite
{
std::string FormatLocalTimestamp()
{
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  // localtime_r, not localtime: cameras stamp their files from several threads at once.
  localtime_r(&now, &local);
  std::ostringstream text;
  text << std::put_time(&local, "%Y-%m-%d-%H-%M-%S");
  return text.str();
}
}  // namespace orvanite
