#include "common/utils.hpp"

#include <cmath>

#include "common/logger.hpp"

namespace
{
// Each row on its own line, indented by 11 blanks; no width, so a minus sign shifts its row.
#define ORVANITE_MATRIX4F_FORMAT                                                            \
  "{}:\n           [{:.6f} {:.6f} {:.6f} {:.6f}]\n           [{:.6f} {:.6f} {:.6f} {:.6f}]" \
  "\n           [{:.6f} {:.6f} {:.6f} {:.6f}]\n           [{:.6f} {:.6f} {:.6f} {:.6f}]"

#define ORVANITE_MATRIX4F_ARGS(name, m)                                                           \
  name, m(0, 0), m(0, 1), m(0, 2), m(0, 3), m(1, 0), m(1, 1), m(1, 2), m(1, 3), m(2, 0), m(2, 1), \
    m(2, 2), m(2, 3), m(3, 0), m(3, 1), m(3, 2), m(3, 3)

double DegreesToRadians(double degrees) { return degrees * 3.141592653589793 / 180; }
}  // namespace

void orvaniteLogDebugMatrix4f(std::string name, const Eigen::Matrix4f & matrix)
{
  LOG_DEBUG(ORVANITE_MATRIX4F_FORMAT, ORVANITE_MATRIX4F_ARGS(name, matrix));
}

void orvaniteLogInfoMatrix4f(std::string name, const Eigen::Matrix4f & matrix)
{
  LOG_INFO(ORVANITE_MATRIX4F_FORMAT, ORVANITE_MATRIX4F_ARGS(name, matrix));
}

Eigen::Matrix3f EulerDegreesToMatrix3f(double roll, double pitch, double yaw)
{
  const double r = DegreesToRadians(roll);
  const double p = DegreesToRadians(pitch);
  const double y = DegreesToRadians(yaw);
  const double sr = std::sin(r), cr = std::cos(r);
  const double sp = std::sin(p), cp = std::cos(p);
  const double sy = std::sin(y), cy = std::cos(y);

  const double elements[3][3] = {
    {cp * cy, sr * sp * cy - cr * sy, cr * sp * cy + sr * sy},
    {cp * sy, sr * sp * sy + cr * cy, cr * sp * sy - sr * cy},
    {-sp, sr * cp, cr * cp},
  };
  Eigen::Matrix3f rotation;
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      rotation(row, col) = static_cast<float>(elements[row][col]);
    }
  }
  return rotation;
}
