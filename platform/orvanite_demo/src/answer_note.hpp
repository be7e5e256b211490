// One line that says what an answer without a target, or no answer at all, means, for a user who
// reads the demo's output without the service's error table at hand.
#ifndef ORVANITE_DEMO__ANSWER_NOTE_HPP_
#define ORVANITE_DEMO__ANSWER_NOTE_HPP_

#include <string>
#include <vector>

namespace orvanite_demo
{

constexpr int kErrorCodeNone = 102200000;

// "# ..." for an error code other than kErrorCodeNone; `cameras` names the scene's cameras in
// the service's visiting order, `aim_mode` tells which radius chose.
std::string AnswerNote(int error_code, const std::vector<std::string> & cameras, bool aim_mode);

// `failure`, the text of a service call that got no answer, with where its reason is: the
// node's log, which the demo keeps off the console unless SPDLOG_STDOUT=true.
std::string UnansweredCallNote(const std::string & failure);

}  // namespace orvanite_demo

#endif  // ORVANITE_DEMO__ANSWER_NOTE_HPP_
