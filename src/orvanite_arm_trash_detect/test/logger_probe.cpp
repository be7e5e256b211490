// Logs a fixed sequence so that a test can check, in a process of its own, what the logger's
// environment makes of it.
#include "common/logger.hpp"

int main()
{
  LOG_DEBUG("debug {}", 1);
  LOG_INFO("info {}", 2);
  LOG_WARN("warn {}", 3);
  LOG_ERROR("error {}", 4);
  LOG_INFO("last");
  return 0;
}
