// Cloud filtering: voxel boundary, bottom band and its recovery, plane cuts, nearest points,
// cluster extraction.
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <pcl/common/point_tests.h>
#include <pcl/search/kdtree.h>

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

// The heights before and after the cuts, each a line of its own colour, three in a row.
TEST(GrabPoseFilteringLines, HeightsBeforeAndAfterTheCutsAreLoggedInTurn)
{
  orvanite_test::GrabPoseConfigFile config;
  const std::unique_ptr<GrabPoseEstimate> estimate = config.MakeEstimator();
  // 40 points at the bottom, 40 at each of 10 levels up to 5 cm: the band cuts the bottom.
  std::vector<Eigen::Vector3f> levels;
  for (int i = 0; i <= 10; ++i) {
    levels.emplace_back(-0.5f, 0.0f, -0.15f + 0.005f * i);
  }
  Cloud::Ptr cloud = Replicated(levels, 40);
  orvanite_test::LogCapture capture;
  estimate->PclProcessFunc(cloud, cloud);
  ASSERT_LT(estimate->trash_lowest_z_, estimate->processed_trash_lowest_z_);

  const auto value = [](float v) { return fmt::format("{}", v); };
  const std::vector<std::string> before = {
    "[DEBUG] " + kBlue + "trash_lowest_z_: " + value(estimate->trash_lowest_z_) + kReset,
    "[DEBUG] " + kBlue + "trash_highest_z_: " + value(estimate->trash_highest_z_) + kReset,
    "[DEBUG] " + kBoldBlue + "trash_height_(trash_highest_z_ - trash_lowest_z_): " +
      value(estimate->trash_height_) + kReset};
  const std::vector<std::string> after = {
    "[DEBUG] " + kCyan +
      "processed_trash_lowest_z_: " + value(estimate->processed_trash_lowest_z_) + kReset,
    "[DEBUG] " + kCyan +
      "processed_trash_highest_z_: " + value(estimate->processed_trash_highest_z_) + kReset,
    "[DEBUG] " + kBoldCyan +
      "processed_trash_height_: " + value(estimate->processed_trash_height_) + kReset};
  EXPECT_EQ(estimate->trash_height_, estimate->trash_highest_z_ - estimate->trash_lowest_z_);
  EXPECT_EQ(
    estimate->processed_trash_height_,
    estimate->processed_trash_highest_z_ - estimate->processed_trash_lowest_z_);

  const auto records = capture.Records();
  const auto run_at = [&records](const std::vector<std::string> & run) {
    for (std::size_t i = 0; i + run.size() <= records.size(); ++i) {
      bool match = true;
      for (std::size_t k = 0; k < run.size(); ++k) {
        match = match && records[i + k].function == "PclProcessFunc" &&
                orvanite_test::WithoutCounter(records[i + k].line) == run[k];
      }
      if (match) {
        return static_cast<int>(i);
      }
    }
    return -1;
  };
  const int before_at = run_at(before);
  const int after_at = run_at(after);
  EXPECT_GE(before_at, 0);
  EXPECT_GT(after_at, before_at);
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

// Empty, or empty once the unmeasurable points are dropped: no filter runs on it, and no height
// comes from getMinMax3D's -+3.4e38.
TEST_F(GrabPoseFiltering, EmptyCloudReturnsAtOnceWithoutHeights)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<std::vector<pcl::PointXYZ>> clouds = {
    {}, {{nan, 0.0f, 0.0f}, {0.0f, 0.0f, 3e38f}}};
  for (const auto & points : clouds) {
    SCOPED_TRACE(points.size());
    Cloud::Ptr cloud(new Cloud);
    for (const auto & point : points) {
      cloud->push_back(point);
    }
    estimate_->pass_ajust_value_ = 0.005f;
    orvanite_test::LogCapture capture;
    EXPECT_NO_THROW(Process(cloud));
    EXPECT_TRUE(cloud->empty());
    for (const float height :
         {estimate_->trash_lowest_z_, estimate_->trash_highest_z_, estimate_->trash_height_,
          estimate_->processed_trash_lowest_z_, estimate_->processed_trash_highest_z_,
          estimate_->processed_trash_height_}) {
      EXPECT_TRUE(std::isnan(height));
    }
    EXPECT_EQ(estimate_->pass_ajust_value_, 0.005f);
    const auto messages = capture.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "[DEBUG] trash cloud is empty, nothing to filter");
    EXPECT_EQ(messages.size(), points.empty() ? 1u : 2u);  // the second: the WARN of the drop
  }
}

// The table with some noise points far out and some NaN points, so that the filter has outliers
// to drop and points to skip, and a lattice of exactly representable coordinates, whose
// neighbours lie at exactly equal distances.
std::vector<orvanite_test::NamedCloud> OutlierTable()
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<orvanite_test::NamedCloud> table = orvanite_test::CloudTable();
  Cloud::Ptr noisy(new Cloud(*table.front().cloud));
  for (int i = 0; i < 40; ++i) {
    noisy->push_back(pcl::PointXYZ(0.3f + 0.01f * i, 0.2f - 0.005f * i, 0.05f * (i % 3)));
  }
  Cloud::Ptr with_nan(new Cloud(*table[3].cloud));
  with_nan->push_back(pcl::PointXYZ(nan, 0.0f, 0.0f));
  with_nan->is_dense = false;
  std::vector<Eigen::Vector3f> lattice;
  for (int i = 0; i < 12; ++i) {
    for (int j = 0; j < 10; ++j) {
      for (int k = 0; k < 4; ++k) {
        lattice.emplace_back(0.5f + i / 64.0f, j / 64.0f, -0.125f + k / 64.0f);
      }
    }
  }
  table.push_back({"random_with_far_points", noisy});
  table.push_back({"box_surface_with_nan", with_nan});
  table.push_back({"exact_lattice", MakeCloud(lattice)});
  return table;
}

// The outlier table and, for the filter alone (the estimator drops non-finite points first), a
// cloud with fewer finite points than neighbours asked for and one without any finite point.
std::vector<orvanite_test::NamedCloud> FilterTable()
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<orvanite_test::NamedCloud> table = OutlierTable();
  Cloud::Ptr few_finite =
    MakeCloud({{0.5f, 0.0f, -0.15f}, {nan, 0.0f, 0.0f}, {0.51f, 0.0f, -0.15f}});
  few_finite->is_dense = false;
  Cloud::Ptr none_finite = MakeCloud({{nan, nan, nan}, {0.5f, nan, 0.0f}});
  none_finite->is_dense = false;
  table.push_back({"two_finite_one_nan", few_finite});
  table.push_back({"no_finite_point", none_finite});
  return table;
}

// Neighbour counts on the shipped one's both sides; 300 also takes FLANN's heap of results, which
// it uses above 250 neighbours (on the smaller clouds only, to keep PCL's side quick).
std::vector<int> NeighbourCounts(const Cloud & cloud)
{
  if (cloud.size() <= 3000) {
    return {1, 8, 50, 300};
  }
  return {1, 8, 50};
}

// PCL's filter's first pass with PCL's search, as PCL's filter runs it. PCL reads the distances
// a short search leaves unwritten as the zeros it started with; here they are left out.
std::vector<float> PclMeanDistances(const Cloud::Ptr & cloud, int mean_k)
{
  pcl::search::KdTree<pcl::PointXYZ> searcher(false);
  searcher.setInputCloud(cloud);
  pcl::Indices nn_indices(mean_k + 1);
  std::vector<float> nn_dists(mean_k + 1);
  std::vector<float> distances(cloud->size(), 0.0f);
  for (std::size_t i = 0; i < cloud->size(); ++i) {
    if (!pcl::isFinite((*cloud)[i])) {
      continue;
    }
    searcher.nearestKSearch(static_cast<pcl::index_t>(i), mean_k + 1, nn_indices, nn_dists);
    double sum = 0.0;
    for (std::size_t k = 1; k < nn_dists.size(); ++k) {
      sum += std::sqrt(static_cast<double>(nn_dists[k]));  // PCL's sqrt is the double one
    }
    distances[i] = static_cast<float>(sum / mean_k);
  }
  return distances;
}

// The mean distances the filter leaves in its workspace are PCL's bit for bit, exact ties
// included, also when one workspace serves clouds of every size one after the other.
TEST_F(GrabPoseFiltering, NeighbourMeanDistancesArePclsBitForBit)
{
  orvanite::OutlierFilterWorkspace workspace;
  for (const auto & [name, cloud] : FilterTable()) {
    if (name == "no_finite_point") {
      continue;  // PCL's own filter handles it
    }
    for (const int mean_k : NeighbourCounts(*cloud)) {
      SCOPED_TRACE(name + " k=" + std::to_string(mean_k));
      orvanite::ParallelStatisticalOutlierRemoval filter(workspace);
      filter.setMeanK(mean_k);
      filter.setInputCloud(cloud);
      pcl::Indices kept;
      filter.filter(kept);
      const std::vector<float> expected = PclMeanDistances(cloud, mean_k);
      ASSERT_EQ(workspace.mean_distances.size(), expected.size());
      int mismatches = 0;
      for (std::size_t i = 0; i < expected.size(); ++i) {
        mismatches += !orvanite_test::SameBits(workspace.mean_distances[i], expected[i]);
        EXPECT_EQ(workspace.counted[i], pcl::isFinite((*cloud)[i]) ? 1 : 0);
      }
      EXPECT_EQ(mismatches, 0);
    }
  }
}

// Same kept points in the same order, and the same removed indices, as PCL's filter, for the
// configured neighbour count and others around it.
TEST_F(GrabPoseFiltering, ParallelOutlierRemovalKeepsWhatPclKeeps)
{
  for (const auto & [name, cloud] : FilterTable()) {
    for (const int mean_k : NeighbourCounts(*cloud)) {
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
  const auto noisy = OutlierTable()[orvanite_test::CloudTable().size()].cloud;
  Cloud kept;
  orvanite::ParallelStatisticalOutlierRemoval filter;
  filter.setMeanK(50);
  filter.setStddevMulThresh(1.0);
  filter.setInputCloud(noisy);
  filter.filter(kept);
  EXPECT_LT(kept.size(), noisy->size() - 20);
}

// A filtered cloud and the members the filtering sets.
struct Filtering
{
  Cloud::Ptr cloud;
  std::array<float, 5> members;
};

Filtering FilteringOf(const GrabPoseEstimate & estimate, const Cloud::Ptr & cloud)
{
  return {
    cloud,
    {estimate.trash_lowest_z_, estimate.trash_height_, estimate.pass_ajust_value_,
     estimate.processed_trash_lowest_z_, estimate.processed_trash_highest_z_}};
}

// The estimator's filtering with PCL's outlier filter, on a fresh estimator of the shipped file.
Filtering FilterThePlainWay(const orvanite_test::GrabPoseConfigFile & config, const Cloud & source)
{
  const auto estimate = config.MakeEstimator();
  Cloud::Ptr cloud(new Cloud(source));
  orvanite_test::plain::PclProcess(*estimate, cloud);
  return FilteringOf(*estimate, cloud);
}

void ExpectSameBits(const Filtering & fast, const Filtering & plain)
{
  EXPECT_TRUE(orvanite_test::SameCloud(*fast.cloud, *plain.cloud));
  EXPECT_TRUE(orvanite_test::SameBits(fast.members, plain.members));
}

// The whole filtering, members included, against the plain calls on every cloud of the table,
// twice over with one estimator, whose filter buffers are then larger than the cloud.
TEST_F(GrabPoseFiltering, FilteringMatchesThePlainCallsBitForBit)
{
  // The shipped neighbour count on both sides, not the fixture's.
  estimate_ = config_.MakeEstimator();
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto & [name, cloud] : OutlierTable()) {
      SCOPED_TRACE(name + " pass " + std::to_string(pass));
      Cloud::Ptr fast(new Cloud(*cloud));
      estimate_->PclProcessFunc(fast, fast);
      ExpectSameBits(FilteringOf(*estimate_, fast), FilterThePlainWay(config_, *cloud));
    }
  }
}

// Two cameras' estimators filter at the same moment, each on its own thread as each camera has
// its own executor thread: each still filters as PCL does.
TEST_F(GrabPoseFiltering, TwoEstimatorsFilterAtOnceAsPclDoes)
{
  const std::vector<orvanite_test::NamedCloud> table = OutlierTable();
  const std::size_t size = table.size();
  // The second camera goes through the table backwards, so that large and small clouds meet.
  const auto cloud_index = [size](int camera, std::size_t n) {
    return camera == 0 ? n : size - 1 - n;
  };
  std::vector<std::vector<Filtering>> filtered(2);
  std::vector<std::thread> threads;
  for (int camera = 0; camera < 2; ++camera) {
    threads.emplace_back([&, camera, estimate = config_.MakeEstimator()] {
      for (std::size_t n = 0; n < size; ++n) {
        Cloud::Ptr cloud(new Cloud(*table[cloud_index(camera, n)].cloud));
        estimate->PclProcessFunc(cloud, cloud);
        filtered[camera].push_back(FilteringOf(*estimate, cloud));
      }
    });
  }
  for (auto & thread : threads) {
    thread.join();
  }
  for (int camera = 0; camera < 2; ++camera) {
    for (std::size_t n = 0; n < size; ++n) {
      const auto & entry = table[cloud_index(camera, n)];
      SCOPED_TRACE("camera " + std::to_string(camera) + " " + entry.name);
      ExpectSameBits(filtered[camera][n], FilterThePlainWay(config_, *entry.cloud));
    }
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
