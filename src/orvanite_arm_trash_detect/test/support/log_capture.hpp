// Collects what the process logger writes while an instance lives, with each record's source
// location. The logger's level still applies: run tests that read DEBUG lines with
// SPDLOG_LEVEL=debug in their environment.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__LOG_CAPTURE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__LOG_CAPTURE_HPP_

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <spdlog/sinks/base_sink.h>

#include "common/logger.hpp"

namespace orvanite_test
{
struct LogRecord
{
  std::string line;
  int level;
  std::string file;
  int source_line;
  std::string function;
};

class RecordingSink : public spdlog::sinks::base_sink<std::mutex>
{
public:
  std::vector<LogRecord> Records()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    return records_;
  }
  void Clear()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.clear();
  }

protected:
  void sink_it_(const spdlog::details::log_msg & msg) override
  {
    records_.push_back(
      {std::string(msg.payload.data(), msg.payload.size()), static_cast<int>(msg.level),
       msg.source.filename ? msg.source.filename : "", msg.source.line,
       msg.source.funcname ? msg.source.funcname : ""});
  }
  void flush_() override {}

private:
  std::vector<LogRecord> records_;  // guarded by the base sink's mutex_
};

// The one sink the captures share. It is added to the logger once and never removed, because
// the logger's sink list is not guarded: changing it while executor threads log would race.
// Captures come and go under the hub's own lock.
class CaptureHub : public spdlog::sinks::base_sink<std::mutex>
{
public:
  static CaptureHub & Instance()
  {
    static const std::shared_ptr<CaptureHub> hub = [] {
      auto created = std::make_shared<CaptureHub>();
      if (const auto logger = orvanite::Logger::Instance().library_logger()) {
        logger->sinks().push_back(created);
      }
      return created;
    }();
    return *hub;
  }
  void Add(const std::shared_ptr<RecordingSink> & sink)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    captures_.push_back(sink);
  }
  void Remove(const std::shared_ptr<RecordingSink> & sink)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = captures_.begin(); it != captures_.end(); ++it) {
      if (*it == sink) {
        captures_.erase(it);
        break;
      }
    }
  }

protected:
  void sink_it_(const spdlog::details::log_msg & msg) override
  {
    for (const auto & capture : captures_) {
      capture->log(msg);
    }
  }
  void flush_() override {}

private:
  std::vector<std::shared_ptr<RecordingSink>> captures_;  // guarded by the base sink's mutex_
};

class LogCapture
{
public:
  LogCapture() : sink_(std::make_shared<RecordingSink>()) { CaptureHub::Instance().Add(sink_); }
  ~LogCapture() { CaptureHub::Instance().Remove(sink_); }
  LogCapture(const LogCapture &) = delete;
  LogCapture & operator=(const LogCapture &) = delete;

  std::vector<LogRecord> Records() const { return sink_->Records(); }
  std::vector<std::string> Lines() const
  {
    std::vector<std::string> lines;
    for (const auto & record : sink_->Records()) {
      lines.push_back(record.line);
    }
    return lines;
  }
  // Lines without their counter, each starting at its "[LEVEL]".
  std::vector<std::string> Messages() const;
  void Clear() { sink_->Clear(); }

private:
  std::shared_ptr<RecordingSink> sink_;
};

// The line from its level tag on: "  7 [INFO] text" gives "[INFO] text".
inline std::string WithoutCounter(const std::string & line)
{
  const auto bracket = line.find('[');
  return bracket == std::string::npos ? line : line.substr(bracket);
}

inline std::vector<std::string> LogCapture::Messages() const
{
  std::vector<std::string> messages;
  for (const auto & line : Lines()) {
    messages.push_back(WithoutCounter(line));
  }
  return messages;
}
// The enclosing function named by every record whose line contains `text`, in order.
inline std::vector<std::string> FunctionsLogging(
  const LogCapture & capture, const std::string & text)
{
  std::vector<std::string> functions;
  for (const auto & record : capture.Records()) {
    if (record.line.find(text) != std::string::npos) {
      functions.push_back(record.function);
    }
  }
  return functions;
}
// The WARN lines, each without its counter and "[WARN] " tag, in order.
inline std::vector<std::string> Warnings(const LogCapture & capture)
{
  std::vector<std::string> warnings;
  for (const auto & message : capture.Messages()) {
    if (message.rfind("[WARN] ", 0) == 0) {
      warnings.push_back(message.substr(7));
    }
  }
  return warnings;
}
// The lines, without their counters, of the records that name `function`, in order.
inline std::vector<std::string> MessagesOf(const LogCapture & capture, const std::string & function)
{
  std::vector<std::string> messages;
  for (const auto & record : capture.Records()) {
    if (record.function == function) {
      messages.push_back(WithoutCounter(record.line));
    }
  }
  return messages;
}
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__LOG_CAPTURE_HPP_
