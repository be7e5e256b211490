#ifndef TF2__LINEARMATH__SCALAR_H_
#define TF2__LINEARMATH__SCALAR_H_

namespace tf2
{
using tf2Scalar = double;
}  // namespace tf2

#endif  // TF2__LINEARMATH__SCALAR_H_
