// A TF listener whose thread can be let go at any moment, even before that thread has started to
// wait.
//
// Humble's tf2_ros::TransformListener with a thread of its own stops it with executor->cancel()
// and a join; a cancel issued before the thread has entered spin() is lost (spin() sets its
// spinning flag itself) and the join never returns. Here the listener has no thread of its own:
// it subscribes on a hidden node that this object spins on its own thread with
// spin_until_future_complete, and the destructor completes that future before it cancels. Humble
// checks the future before the spin and after every wait, and the cancel's interrupt stays pending
// until the next wait, so the thread ends whatever point it has reached.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__STOPPABLE_TF_LISTENER_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__STOPPABLE_TF_LISTENER_HPP_

#include <future>
#include <memory>
#include <thread>

#include <rclcpp/rclcpp.hpp>
#include <tf2_ros/buffer.h>
#include <tf2_ros/transform_listener.h>

namespace orvanite
{
class StoppableTfListener
{
public:
  // Subscribes `buffer` to /tf and /tf_static (Humble's listener QoS) on a node
  // "transform_listener_impl_<address>" in `context`, without parameter services or events, marks
  // the buffer as served by a dedicated thread (so that its waiting look-ups work) and starts that
  // thread. The buffer must outlive this object. Throws what rclcpp throws.
  StoppableTfListener(tf2_ros::Buffer & buffer, const rclcpp::Context::SharedPtr & context);
  // Stops and joins the thread, then drops the subscriptions and the node.
  ~StoppableTfListener();

  // Stops and joins the thread now; the buffer then receives nothing more. For an owner that lives
  // until the process ends, so that the thread is joined once ROS has shut down. Idempotent; not
  // to be called from two threads at once.
  void Stop();

  StoppableTfListener(const StoppableTfListener &) = delete;
  StoppableTfListener & operator=(const StoppableTfListener &) = delete;

private:
  // Declaration order: the thread goes first, the node last.
  rclcpp::Node::SharedPtr node_;
  tf2_ros::TransformListener listener_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::promise<void> stop_;
  std::thread thread_;
};
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__STOPPABLE_TF_LISTENER_HPP_
