// Result codes of the detection service and the texts its responses carry.
#ifndef ORVANITE_ARM_TRASH_DETECT__COMMON__ERROR_CODE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__COMMON__ERROR_CODE_HPP_

#include <cstdint>
#include <string>

namespace orvanite
{

enum ErrorCode : std::int32_t
{
  NONE = 102200000,
  // Logged at a camera's start-up only; never sent in a response.
  CAMERA_PARAM_INIT_FAILED = 102200001,
  TRASH_POSE_LIST_EMPTY = 102200003,
  NO_TARGET_TRASH_CHOOSED = 102200010,
};

// The response text of a code; CAMERA_PARAM_INIT_FAILED and unknown codes have the empty text.
inline std::string ErrorCodeText(ErrorCode code)
{
  switch (code) {
    case NONE:
      return "NONE: 无错误";
    case TRASH_POSE_LIST_EMPTY:
      return "TRASH_POSE_LIST_EMPTY";
    case NO_TARGET_TRASH_CHOOSED:
      return "NO_TARGET_TRASH_CHOOSED";
    case CAMERA_PARAM_INIT_FAILED:
      break;
  }
  return std::string();
}

}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__COMMON__ERROR_CODE_HPP_
