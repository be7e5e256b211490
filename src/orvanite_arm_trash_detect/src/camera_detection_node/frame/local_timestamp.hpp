// Local time stamps of debug file names.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__LOCAL_TIMESTAMP_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__LOCAL_TIMESTAMP_HPP_

#include <string>

namespace orvanite
{
// The current wall-clock time, truncated to whole seconds, as local time "%Y-%m-%d-%H-%M-%S"
// (e.g. 2024-03-05-14-07-09). Safe to call from several threads at once.
std::string FormatLocalTimestamp();
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__LOCAL_TIMESTAMP_HPP_
