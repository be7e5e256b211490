// A program run as a user runs it: a child process with its own arguments and environment, its
// standard output and standard error read together. Header-only, POSIX and the C++ library
// only: the demo package's tests include it from this source tree too.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__CHILD_PROCESS_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__CHILD_PROCESS_HPP_

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvanite_test
{

class ChildProcess
{
public:
  // Runs `program` with `args` in `folder` (empty: this process's folder). `env` is set on top
  // of this process's environment; an empty value unsets the variable.
  ChildProcess(
    const std::string & program, const std::vector<std::string> & args,
    const std::map<std::string, std::string> & env, const std::string & folder = "")
  {
    // Everything the child needs is built here: between fork() and exec the child may only make
    // async-signal-safe calls, since another thread of this process may hold the allocator's lock.
    std::vector<std::string> environment = MergedEnvironment(env);
    std::vector<char *> envp;
    for (std::string & entry : environment) {
      envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::vector<char *> argv = {const_cast<char *>(program.c_str())};
    for (const std::string & arg : args) {
      argv.push_back(const_cast<char *>(arg.c_str()));
    }
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0) {
      throw std::runtime_error("pipe failed");
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fds[1], STDOUT_FILENO);
      dup2(fds[1], STDERR_FILENO);
      close(fds[0]);
      close(fds[1]);
      if (!folder.empty() && chdir(folder.c_str()) != 0) {
        _exit(126);
      }
      execve(program.c_str(), argv.data(), envp.data());
      _exit(127);
    }
    close(fds[1]);
    out_ = fds[0];
  }
  ~ChildProcess()
  {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(out_);
  }
  ChildProcess(const ChildProcess &) = delete;
  ChildProcess & operator=(const ChildProcess &) = delete;

  // Reads the output until `text` appears (true) or the output ends or `timeout` passes (false).
  bool WaitForOutput(const std::string & text, std::chrono::seconds timeout)
  {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (output_.find(text) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
      if (left.count() <= 0 || ReadSome(static_cast<int>(left.count())) != Read::kData) {
        return false;
      }
    }
    return true;
  }

  // Reads the output to its end, then the exit status; -1 when killed by a signal or when the
  // output does not end within `timeout`.
  int WaitForExit(std::chrono::seconds timeout)
  {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (Read read = Read::kData; read != Read::kEnd;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
      read = left.count() > 0 ? ReadSome(static_cast<int>(left.count())) : Read::kNothing;
      if (read == Read::kNothing) {
        return -1;
      }
    }
    // The output ends when the process closes it, which is when it exits.
    int status = 0;
    waitpid(pid_, &status, 0);
    exited_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void Signal(int signal_number) { kill(pid_, signal_number); }
  const std::string & output() const { return output_; }

private:
  // This process's environment with `overrides` on top, as "NAME=value" entries; an empty value
  // leaves the variable out.
  static std::vector<std::string> MergedEnvironment(
    const std::map<std::string, std::string> & overrides)
  {
    std::vector<std::string> merged;
    for (char ** entry = environ; *entry != nullptr; ++entry) {
      const std::string text(*entry);
      if (overrides.count(text.substr(0, text.find('='))) == 0) {
        merged.push_back(text);
      }
    }
    for (const auto & [name, value] : overrides) {
      if (!value.empty()) {
        merged.push_back(name + "=" + value);
      }
    }
    return merged;
  }

  enum class Read
  {
    kData,
    kEnd,
    kNothing  // within the time given
  };

  Read ReadSome(int timeout_ms)
  {
    pollfd fd{out_, POLLIN, 0};
    if (poll(&fd, 1, timeout_ms) <= 0) {
      return Read::kNothing;
    }
    char buffer[4096];
    const ssize_t n = read(out_, buffer, sizeof(buffer));
    if (n <= 0) {
      return Read::kEnd;
    }
    output_.append(buffer, static_cast<std::size_t>(n));
    return Read::kData;
  }

  pid_t pid_ = -1;
  int out_ = -1;
  bool exited_ = false;
  std::string output_;
};

}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__CHILD_PROCESS_HPP_
