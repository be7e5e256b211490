// Cloud filtering: voxel boundary, bottom band and its recovery, plane cuts, nearest points,
// cluster extraction.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/ansi_colors.hpp"
#include "support/cloud_table.hpp"
#include "support/grab_pose_config_file.hpp"
#include "support/plain_stages.hpp"
#include "trash_pose_estimate/parallel_outlier_removal.hpp"
#include "support/log_capture.hpp"
#include "support/neutral_filters.hpp"
#include "support/synthetic_clouds.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace
{

using orvanite_test::Cloud;
using orvanite_test::ContainsLine;
using orvanite_test::MakeCloud;
using orvanite_test::Replicated;

class GrabPoseFiltering : public ::testing::Test
{
protected:
  void SetUp() override
  {
    estimate_ = config_.MakeEstimator();
    orvanite_test::NeutralOutlierFilter(*estimate_);
  }
  void Process(Cloud::Ptr & cloud) { estimate_->PclProcessFunc(cloud, cloud); }
  // A vertical column at (-0.5, 0) from z_low to z_high in `levels` levels of `copies` points.
  static Cloud::Ptr Column(float z_low, float z_high, int levels, int copies)
  {
    std::vector<Eigen::Vector3f> locations;
    for (int i = 0; i < levels; ++i) {
      const float z = i + 1 == levels ? z_high : z_low + (z_high - z_low) * i / (levels - 1);
      locations.emplace_back(-0.5f, 0.0f, z);
    }
    return Replicated(locations, copies);
  }

  orvanite_test::GrabPoseConfigFile config_;
  std::unique_ptr<GrabPoseEstimate> estimate_;
};

// Pairs of points that share one voxel: downsampling replaces each pair by its centroid.
Cloud::Ptr VoxelPairs(int points)
{
  std::vector<Eigen::Vector3f> locations;
  for (int i = 0; i < points / 2; ++i) {
    locations.emplace_back(i * 0.002f + 0.0003f, 0.00025f, 0.0002f);
    locations.emplace_back(i * 0.002f + 0.0004f, 0.00025f, 0.0008f);
  }
  if (points % 2 == 1) {
    locations.emplace_back(1.5003f, 0.00025f, 0.0005f);
  }
  return MakeCloud(locations);
}

TEST_F(GrabPoseFiltering, DownsamplesOnlyCloudsAboveOneThousandPoints)
{
  Cloud::Ptr small = VoxelPairs(1000);
  Process(small);
  EXPECT_EQ(estimate_->trash_lowest_z_, 0.0002f);
  EXPECT_EQ(estimate_->trash_highest_z_, 0.0008f);

  Cloud::Ptr large = VoxelPairs(1001);
  Process(large);
  EXPECT_NEAR(estimate_->trash_lowest_z_, 0.0005f, 1e-6f);
  EXPECT_NEAR(estimate_->trash_highest_z_, 0.0005f, 1e-6f);
}

struct BandCase
{
  float height;
  float expected_offset;
  const char * threshold_line;  // nullptr: no threshold line
};

TEST_F(GrabPoseFiltering, ChoosesTheBandOffsetByHeight)
{
  estimate_->pass_ajust_value_1_ = 0.001f;
  estimate_->pass_ajust_value_2_ = 0.002f;
  estimate_->pass_ajust_value_3_ = 0.004f;
  const float previous = 0.0123f;
  const BandCase cases[] = {
    {0.01f, 0.001f, "trash_height_ < remove_bottom_height_threshold_1_: 0.024"},
    {0.03f, 0.002f, "trash_height_ < remove_bottom_height_threshold_2_: 0.05"},
    {0.06f, 0.004f, "trash_height_ < remove_bottom_height_threshold_3_: 0.07"},
    {0.07f, previous, nullptr},  // exactly threshold 3: neither branch
    {0.1f, previous, "trash_height_ > remove_bottom_height_threshold_3_: 0.07"},
  };
  for (const auto & c : cases) {
    SCOPED_TRACE(c.height);
    estimate_->pass_ajust_value_ = previous;
    Cloud::Ptr cloud = Column(0.0f, c.height, 11, 5);
    orvanite_test::LogCapture capture;
    Process(cloud);
    EXPECT_EQ(estimate_->trash_height_, c.height);
    EXPECT_EQ(estimate_->pass_ajust_value_, c.expected_offset);
    const auto messages = capture.Messages();
    int threshold_lines = 0;
    for (const auto & message : messages) {
      threshold_lines += message.find("remove_bottom_height_threshold_") != std::string::npos;
    }
    if (c.threshold_line == nullptr) {
      EXPECT_EQ(threshold_lines, 0);
    } else {
      EXPECT_EQ(threshold_lines, 1);
      EXPECT_TRUE(ContainsLine(messages, "[DEBUG] " + kYellow + c.threshold_line + kReset));
    }
    EXPECT_TRUE(
      ContainsLine(messages, "[DEBUG] pass_ajust_value_: " + fmt::format("{}", c.expected_offset)));
  }
}

TEST_F(GrabPoseFiltering, RecoversTheInputWhenTheBandKeepsTooFewPoints)
{
  Cloud::Ptr cloud = Replicated({{-0.5f, 0.0f, 0.0f}}, 35);
  *cloud += *Replicated({{-0.5f, 0.0f, 0.01f}}, 5);
  orvanite_test::LogCapture capture;
  Process(cloud);
  EXPECT_EQ(cloud->size(), 40u);
  EXPECT_EQ(estimate_->processed_trash_lowest_z_, 0.0f);
  EXPECT_TRUE(ContainsLine(
    capture.Messages(),
    "[WARN] trash cloud size is less than 34 after pass filter between [0.003, 1.0].\n"
    "recovered to input_cloud !"));

  // Enough points in the band: the bottom stays cut.
  estimate_->min_trash_cloud_size_ = 5;
  Process(cloud);
  EXPECT_EQ(cloud->size(), 5u);
}

TEST_F(GrabPoseFiltering, OnTheFloorTheBandStartsAtTheFloor)
{
  estimate_->is_on_floor_ = true;
  Cloud::Ptr cloud = Column(-0.16f, -0.15f, 11, 5);
  orvanite_test::LogCapture capture;
  Process(cloud);
  EXPECT_EQ(estimate_->trash_lowest_z_, -0.176f);
  EXPECT_EQ(estimate_->processed_trash_lowest_z_, -0.16f);
  EXPECT_EQ(cloud->size(), 55u);
  const auto messages = capture.Messages();
  EXPECT_TRUE(ContainsLine(
    messages, "[DEBUG] " + kBoldYellow + "is_on_floor_ ! trash_lowest_z_: -0.176" + kReset));
  // The threshold is still chosen from the cloud's own height of 0.01.
  EXPECT_TRUE(ContainsLine(
    messages,
    "[DEBUG] " + kYellow + "trash_height_ < remove_bottom_height_threshold_1_: 0.024" + kReset));

  estimate_->is_on_floor_ = false;
  cloud = Column(-0.16f, -0.15f, 11, 5);
  Process(cloud);
  EXPECT_GT(estimate_->processed_trash_lowest_z_, -0.1575f);
}

TEST_F(GrabPoseFiltering, PlaneCutKeepsPointsOnOrBehindThePlaneAndNaN)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Cloud::Ptr cloud = MakeCloud({{0, 0, 0}, {0, 0, -0.01f}, {0, 0, 0.01f}, {nan, nan, nan}});
  cloud->header.frame_id = "camera";
  const Cloud * object = cloud.get();
  estimate_->CutCloudByPlane(cloud, Eigen::Vector3f::Zero(), Eigen::Vector3f(0, 0, -1));
  EXPECT_EQ(cloud.get(), object);
  ASSERT_EQ(cloud->size(), 3u);
  EXPECT_EQ(cloud->width, 3u);
  EXPECT_EQ(cloud->height, 1u);
  EXPECT_EQ((*cloud)[0].z, 0.0f);
  EXPECT_EQ((*cloud)[1].z, 0.01f);
  EXPECT_TRUE(std::isnan((*cloud)[2].z));
  EXPECT_EQ(cloud->header.frame_id, "");
}

TEST_F(GrabPoseFiltering, NearestPointCutDropsLowPointsBeyondTheTiltedPlane)
{
  estimate_->camera_extrinsic_.col(3) << 0.1f, 0.0f, 0.5f, 1.0f;
  const std::vector<Eigen::Vector3f> points = {
    {-0.5f, 0.0f, 0.0f},    // nearest to the camera, on the plane
    {-0.6f, 0.0f, 0.01f},   // 0.1 m further: the plane is tan(15 deg) * 0.1 = 0.027 high there
    {-0.6f, 0.0f, 0.05f},   // above the plane, also when it starts 0.02 higher
    {-0.5f, 0.05f, 0.0f}};  // beside the nearest point, at its height
  Cloud::Ptr cloud = MakeCloud(points);
  estimate_->CutCloudAtNearestPoint(cloud, 0.0f, 15.0f);
  ASSERT_EQ(cloud->size(), 3u);
  EXPECT_EQ((*cloud)[1].z, 0.05f);

  cloud = MakeCloud(points);
  estimate_->CutCloudAtNearestPoint(cloud, 0.0f, 0.0f);  // zero normal: everything stays
  EXPECT_EQ(cloud->size(), 4u);

  cloud = MakeCloud(points);
  estimate_->CutCloudAtNearestPoint(cloud, 0.02f, 15.0f);  // the plane passes at the given height
  ASSERT_EQ(cloud->size(), 1u);
  EXPECT_EQ((*cloud)[0].z, 0.05f);
}

TEST_F(GrabPoseFiltering, NearestAndFarthestPointsInTheFloorPlane)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  estimate_->camera_extrinsic_.col(3) << 1.0f, 1.0f, 0.7f, 1.0f;
  const Cloud::Ptr cloud =
    MakeCloud({{nan, nan, nan}, {1.5f, 1.0f, 5.0f}, {1.0f, 0.5f, 6.0f}, {3.0f, 1.0f, 0.0f}});
  EXPECT_EQ(estimate_->FindNearestPointXY(cloud).z, 5.0f);  // first of two at 0.5 m
  EXPECT_EQ(estimate_->FindFarthestPointXY(cloud).x, 3.0f);

  const Cloud::Ptr empty(new Cloud);
  const pcl::PointXYZ none = estimate_->FindNearestPointXY(empty);
  EXPECT_EQ(none.getVector3fMap(), Eigen::Vector3f::Zero());
  const pcl::PointXYZ below = estimate_->FindFarthestPointXY(MakeCloud({{1.0f, 1.0f, 0.3f}}));
  EXPECT_EQ(below.getVector3fMap(), Eigen::Vector3f::Zero());
}

TEST_F(GrabPoseFiltering, ClusterProcessKeepsTheLargestCluster)
{
  std::vector<Eigen::Vector3f> points;
  for (int i = 0; i < 100; ++i) {
    const float x = i < 40 ? 0.0f : 1.0f;
    points.emplace_back(x + (i % 10) * 0.005f, (i / 10) * 0.005f, 0.0f);
  }
  Cloud::Ptr cloud = MakeCloud(points);
  const Cloud::Ptr original = cloud;
  orvanite_test::LogCapture capture;
  estimate_->PclClusterProcess(cloud);
  ASSERT_EQ(cloud->size(), 60u);
  EXPECT_NE(cloud, original);
  EXPECT_EQ(original->size(), 100u);
  EXPECT_EQ((*cloud)[0].x, 1.0f);
  const auto messages = capture.Messages();
  EXPECT_EQ(messages.front(), "[DEBUG] trash cloud size before cluster process: 100");
  EXPECT_EQ(messages.back(), "[DEBUG] trash cloud size after cluster process: 60");
}

TEST_F(GrabPoseFiltering, EmptyCloudPassesWithoutThrowing)
{
  Cloud::Ptr cloud(new Cloud);
  EXPECT_NO_THROW(Process(cloud));
  EXPECT_TRUE(cloud->empty());
}

// The table with some noise points far out and some NaN points, so that the filter has outliers
// to drop and points to skip.
std::vector<orvanite_test::NamedCloud> OutlierTable()
{
  std::vector<orvanite_test::NamedCloud> table = orvanite_test::CloudTable();
  Cloud::Ptr noisy(new Cloud(*table.front().cloud));
  for (int i = 0; i < 40; ++i) {
    noisy->push_back(pcl::PointXYZ(0.3f + 0.01f * i, 0.2f - 0.005f * i, 0.05f * (i % 3)));
  }
  Cloud::Ptr with_nan(new Cloud(*table[3].cloud));
  with_nan->push_back(pcl::PointXYZ(std::nanf(""), 0.0f, 0.0f));
  with_nan->is_dense = false;
  table.push_back({"random_with_far_points", noisy});
  table.push_back({"box_surface_with_nan", with_nan});
  return table;
}

// Same kept points in the same order, and the same removed indices, as PCL's filter, for the
// configured neighbour count and others around it.
TEST_F(GrabPoseFiltering, ParallelOutlierRemovalKeepsWhatPclKeeps)
{
  for (const auto & [name, cloud] : OutlierTable()) {
    for (const int mean_k : {1, 8, 50}) {
      SCOPED_TRACE(name + " k=" + std::to_string(mean_k));
      pcl::StatisticalOutlierRemoval<pcl::PointXYZ> reference(true);
      orvanite::ParallelStatisticalOutlierRemoval parallel;
      pcl::Indices reference_kept;
      pcl::Indices parallel_kept;
      for (auto * filter : std::initializer_list<pcl::StatisticalOutlierRemoval<pcl::PointXYZ> *>{
             &reference, &parallel}) {
        filter->setMeanK(mean_k);
        filter->setStddevMulThresh(1.0);
        filter->setInputCloud(cloud);
      }
      reference.filter(reference_kept);
      parallel.filter(parallel_kept);
      EXPECT_EQ(parallel_kept, reference_kept);

      Cloud::Ptr expected(new Cloud(*cloud));
      orvanite_test::plain::RemoveOutliers(expected, mean_k, 1.0);
      Cloud filtered(*cloud);
      parallel.filter(filtered);
      EXPECT_TRUE(orvanite_test::SameCloud(filtered, *expected));
    }
  }
  // The far points are what the filter is for.
  const auto noisy = OutlierTable()[OutlierTable().size() - 2].cloud;
  Cloud kept;
  orvanite::ParallelStatisticalOutlierRemoval filter;
  filter.setMeanK(50);
  filter.setStddevMulThresh(1.0);
  filter.setInputCloud(noisy);
  filter.filter(kept);
  EXPECT_LT(kept.size(), noisy->size() - 20);
}

// The whole filtering, members included, against the plain calls on every cloud of the table.
TEST_F(GrabPoseFiltering, FilteringMatchesThePlainCallsBitForBit)
{
  using orvanite_test::SameBits;
  // The shipped neighbour count on both sides, not the fixture's.
  estimate_ = config_.MakeEstimator();
  auto reference = config_.MakeEstimator();
  for (const auto & [name, cloud] : OutlierTable()) {
    SCOPED_TRACE(name);
    Cloud::Ptr fast(new Cloud(*cloud));
    Cloud::Ptr plain(new Cloud(*cloud));
    estimate_->PclProcessFunc(fast, fast);
    orvanite_test::plain::PclProcess(*reference, plain);
    EXPECT_TRUE(orvanite_test::SameCloud(*fast, *plain));
    EXPECT_TRUE(SameBits(estimate_->trash_lowest_z_, reference->trash_lowest_z_));
    EXPECT_TRUE(SameBits(estimate_->trash_height_, reference->trash_height_));
    EXPECT_TRUE(SameBits(estimate_->pass_ajust_value_, reference->pass_ajust_value_));
    EXPECT_TRUE(
      SameBits(estimate_->processed_trash_lowest_z_, reference->processed_trash_lowest_z_));
    EXPECT_TRUE(
      SameBits(estimate_->processed_trash_highest_z_, reference->processed_trash_highest_z_));
  }
}

// Points no camera measures leave the cloud with one warning before PCL sees them; the rest is
// filtered as if they had never been there.
TEST_F(GrabPoseFiltering, DropsPointsThatNoCameraMeasures)
{
  const Cloud::Ptr physical = orvanite_test::CloudTable()[3].cloud;
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<pcl::PointXYZ> unmeasurable = {
    {std::nanf(""), 0.0f, 0.0f},
    {0.0f, inf, 0.0f},
    {0.5f, 0.0f, -1e30f},
    {1e36f, 1e36f, 1e36f},
    {0.0f, 0.0f, 1.0001e4f}};
  Cloud::Ptr polluted(new Cloud);
  for (std::size_t i = 0; i < physical->size(); ++i) {
    polluted->push_back((*physical)[i]);
    if (i % 100 == 0) {
      polluted->push_back(unmeasurable[(i / 100) % unmeasurable.size()]);
    }
  }
  Cloud::Ptr clean(new Cloud(*physical));
  estimate_ = config_.MakeEstimator();
  auto reference = config_.MakeEstimator();
  reference->PclProcessFunc(clean, clean);

  orvanite_test::LogCapture capture;
  estimate_->PclProcessFunc(polluted, polluted);
  EXPECT_TRUE(orvanite_test::SameCloud(*polluted, *clean));
  EXPECT_TRUE(orvanite_test::SameBits(
    estimate_->processed_trash_lowest_z_, reference->processed_trash_lowest_z_));
  const std::size_t dropped = (physical->size() + 99) / 100;
  EXPECT_TRUE(ContainsLine(
    capture.Messages(),
    "[WARN] trash cloud has " + std::to_string(dropped) +
      " points with non-finite coordinates or coordinates beyond 10000 m, dropped"));
}

}  // namespace
