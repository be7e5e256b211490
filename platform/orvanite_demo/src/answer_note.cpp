#include "answer_note.hpp"

namespace orvanite_demo
{

namespace
{
constexpr int kErrorCodeListEmpty = 102200003;
constexpr int kErrorCodeNoTarget = 102200010;
// The demo runs the node with its console log off.
constexpr char kWhichShowsTheNodeLog[] = "which SPDLOG_STDOUT=true shows";

std::string Joined(const std::vector<std::string> & names)
{
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i) {
    out += (i == 0 ? "" : ", ") + names[i];
  }
  return out;
}
}  // namespace

std::string AnswerNote(int error_code, const std::vector<std::string> & cameras, bool aim_mode)
{
  switch (error_code) {
    case 0:
      return "# error_code 0, every field at its default: no camera finished a frame within "
             "detect_timeout_ms (timed out: " +
             Joined(cameras) +
             "); each of them logs \"cam_<i>: trash pose detect process timeout\", " +
             kWhichShowsTheNodeLog + " (try --detect-timeout-ms)";
    case kErrorCodeListEmpty:
      return "# error_code 102200003 TRASH_POSE_LIST_EMPTY: the last camera that finished in time "
             "found no trash to grasp (no detection of a class in trash_class_ids passed the "
             "node's checks)";
    case kErrorCodeNoTarget:
      return std::string(
               "# error_code 102200010 NO_TARGET_TRASH_CHOOSED: cameras found trash, but none lay "
               "within ") +
             (aim_mode ? "aim_grab_radius of the aim point"
                       : "max_grab_radius of the arm-base origin (try --max-grab-radius)");
    default:
      return "# error_code " + std::to_string(error_code) + ": not a code the service sends";
  }
}

std::string UnansweredCallNote(const std::string & failure)
{
  return failure + " (look in the node's log, " + kWhichShowsTheNodeLog + ")";
}

}  // namespace orvanite_demo
