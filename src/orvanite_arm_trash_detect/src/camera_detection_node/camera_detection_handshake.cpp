// The detection handshake: each operation is one short critical section under detect_mutex_.
#include "camera_detection_node/camera_detection_node.hpp"

bool CameraDetectionNode::ShouldProcessFrame()
{
  std::lock_guard<std::mutex> lock(detect_mutex_);
  return detect_request_ || is_realtime_estimate_;
}

void CameraDetectionNode::BeginDetectFrame()
{
  std::lock_guard<std::mutex> lock(detect_mutex_);
  trash_infos_.clear();
}

void CameraDetectionNode::AppendTrashInfo(const TrashInfo & trash_info)
{
  std::lock_guard<std::mutex> lock(detect_mutex_);
  trash_infos_.push_back(trash_info);
}

void CameraDetectionNode::FinishDetect()
{
  std::lock_guard<std::mutex> lock(detect_mutex_);
  detect_request_ = false;
  is_detect_done_ = true;
}

std::vector<CameraDetectionNode::TrashInfo> CameraDetectionNode::SnapshotTrashInfos()
{
  std::lock_guard<std::mutex> lock(detect_mutex_);
  return trash_infos_;
}

void CameraDetectionNode::RequestDetect()
{
  std::lock_guard<std::mutex> lock(detect_mutex_);
  detect_request_ = true;
  is_detect_done_ = false;
}

bool CameraDetectionNode::IsDetectDone()
{
  std::lock_guard<std::mutex> lock(detect_mutex_);
  return is_detect_done_;
}

std::vector<CameraDetectionNode::TrashInfo> CameraDetectionNode::CollectTrashInfos()
{
  std::lock_guard<std::mutex> lock(detect_mutex_);
  is_detect_done_ = false;
  return trash_infos_;
}

void CameraDetectionNode::AbandonDetect()
{
  std::lock_guard<std::mutex> lock(detect_mutex_);
  is_detect_done_ = false;
}
