// Placeholders for the unused inputs of a synchroniser.
#ifndef MESSAGE_FILTERS__NULL_TYPES_H_
#define MESSAGE_FILTERS__NULL_TYPES_H_

#include <memory>

#include "message_filters/connection.h"

namespace message_filters
{

struct NullType
{
};
typedef std::shared_ptr<NullType const> NullTypeConstPtr;

// An input that never delivers anything.
template <class M>
struct NullFilter
{
  template <typename C>
  Connection registerCallback(const C &)
  {
    return Connection();
  }
};

}  // namespace message_filters

#endif  // MESSAGE_FILTERS__NULL_TYPES_H_
