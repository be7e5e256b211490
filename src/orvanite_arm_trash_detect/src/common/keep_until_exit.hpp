// Objects that a failed start-up must not destroy.
#ifndef ORVANITE_ARM_TRASH_DETECT__COMMON__KEEP_UNTIL_EXIT_HPP_
#define ORVANITE_ARM_TRASH_DETECT__COMMON__KEEP_UNTIL_EXIT_HPP_

#include <memory>

namespace orvanite
{

// Keeps `object` alive until the process ends; it is never destroyed. For objects whose
// destructor may block forever, such as a TF listener whose spin thread has not yet entered
// spin() (Humble's destructor cancels, the cancel is lost, and the join never returns): a start-up
// that fails leaves them to the ending process instead. Thread-safe; a null pointer is ignored.
void KeepUntilExit(std::shared_ptr<const void> object);

}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__COMMON__KEEP_UNTIL_EXIT_HPP_
