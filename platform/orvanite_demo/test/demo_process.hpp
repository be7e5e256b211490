// orvanite_demo run as a user runs it, with the node's console log off unless the test turns it
// on; the runner is the node package's test support (test/CMakeLists.txt says why).
#ifndef ORVANITE_DEMO__TEST__DEMO_PROCESS_HPP_
#define ORVANITE_DEMO__TEST__DEMO_PROCESS_HPP_

#include <map>
#include <string>
#include <vector>

#include "support/child_process.hpp"

namespace orvanite_demo_test
{

class DemoProcess : public orvanite_test::ChildProcess
{
public:
  // `env` is set on top of this process's environment and of the quiet log (an empty value
  // unsets the variable). `program` runs in `folder` (empty: this process's folder).
  DemoProcess(
    const std::vector<std::string> & args, const std::map<std::string, std::string> & env,
    const std::string & program = DEMO_EXECUTABLE_PATH, const std::string & folder = "")
  : ChildProcess(program, args, WithQuietLog(env), folder)
  {
  }

private:
  static std::map<std::string, std::string> WithQuietLog(std::map<std::string, std::string> env)
  {
    env.insert({{"SPDLOG_STDOUT", "false"}, {"SPDLOG_SYSTEMD", "false"}, {"SPDLOG_LEVEL", "info"}});
    return env;
  }
};

}  // namespace orvanite_demo_test

#endif  // ORVANITE_DEMO__TEST__DEMO_PROCESS_HPP_
