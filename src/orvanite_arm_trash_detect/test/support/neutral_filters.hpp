// Filter settings under which PclProcessFunc keeps the points of a Replicated cloud, so that a
// test knows the centre and the lowest point of what the estimator measures.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__NEUTRAL_FILTERS_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__NEUTRAL_FILTERS_HPP_

#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace orvanite_test
{

// An outlier filter that asks for three neighbours, fewer than the copies of every location of a
// Replicated cloud (four or more): all neighbour distances are zero and no point is an outlier.
inline void NeutralOutlierFilter(GrabPoseEstimate & estimate) { estimate.sor2_meank_value_ = 3; }

// Also a bottom band that starts at the lowest point, so that PclProcessFunc keeps a Replicated
// cloud whole: one of at most 1000 points (no voxel grid), lower than 0.07 m (the shipped
// remove_bottom_height_threshold_3_) and with is_on_floor_ off.
inline void NeutralFilters(GrabPoseEstimate & estimate)
{
  NeutralOutlierFilter(estimate);
  estimate.pass_ajust_value_1_ = 0.0f;
  estimate.pass_ajust_value_2_ = 0.0f;
  estimate.pass_ajust_value_3_ = 0.0f;
}

}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__NEUTRAL_FILTERS_HPP_
