#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

#include <pcl/point_cloud.h>
#include <pcl/point_types.h>

#include "pcl_conversions/pcl_conversions.h"

namespace
{
pcl::PointCloud<pcl::PointXYZ> makeOrganisedCloud()
{
  pcl::PointCloud<pcl::PointXYZ> cloud(3, 2);
  for (int i = 0; i < 6; ++i) {
    cloud[i] = pcl::PointXYZ(0.1f * i - 0.25f, -1.5e3f + i, 3.0e-7f * (i + 1));
  }
  cloud.header.frame_id = "camera";
  cloud.header.stamp = 12'345'678ull;  // microseconds
  cloud.is_dense = false;
  return cloud;
}

TEST(PclConversions, PointXYZCloudRoundTripsExactly)
{
  const pcl::PointCloud<pcl::PointXYZ> original = makeOrganisedCloud();
  sensor_msgs::msg::PointCloud2 message;
  pcl::toROSMsg(original, message);

  EXPECT_EQ(message.header.frame_id, "camera");
  EXPECT_EQ(message.header.stamp.sec, 12);
  EXPECT_EQ(message.header.stamp.nanosec, 345'678'000u);
  EXPECT_EQ(message.width, 3u);
  EXPECT_EQ(message.height, 2u);
  EXPECT_FALSE(message.is_dense);
  ASSERT_EQ(message.fields.size(), 3u);
  const char * names[] = {"x", "y", "z"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(message.fields[i].name, names[i]);
    EXPECT_EQ(message.fields[i].offset, 4 * i);
    EXPECT_EQ(message.fields[i].datatype, sensor_msgs::msg::PointField::FLOAT32);
    EXPECT_EQ(message.fields[i].count, 1u);
  }
  EXPECT_EQ(message.row_step, message.width * message.point_step);
  EXPECT_EQ(message.data.size(), message.row_step * message.height);

  pcl::PointCloud<pcl::PointXYZ> back;
  pcl::fromROSMsg(message, back);
  EXPECT_EQ(back.header.frame_id, "camera");
  EXPECT_EQ(back.header.stamp, original.header.stamp);
  EXPECT_EQ(back.header.seq, 0u);
  ASSERT_EQ(back.width, 3u);
  ASSERT_EQ(back.height, 2u);
  for (size_t i = 0; i < back.size(); ++i) {
    EXPECT_EQ(back[i].x, original[i].x) << i;
    EXPECT_EQ(back[i].y, original[i].y) << i;
    EXPECT_EQ(back[i].z, original[i].z) << i;
  }

  pcl::PointCloud<pcl::PointXYZ> moved;
  pcl::moveFromROSMsg(message, moved);
  EXPECT_EQ(moved[5].y, original[5].y);
}

TEST(PclConversions, HeaderStampIsTruncatedToMicroseconds)
{
  std_msgs::msg::Header header;
  header.frame_id = "base";
  header.stamp.sec = 3;
  header.stamp.nanosec = 999'999'999;
  const pcl::PCLHeader pcl_header = pcl_conversions::toPCL(header);
  EXPECT_EQ(pcl_header.stamp, 3'999'999ull);
  const std_msgs::msg::Header back = pcl_conversions::fromPCL(pcl_header);
  EXPECT_EQ(back.stamp.sec, 3);
  EXPECT_EQ(back.stamp.nanosec, 999'999'000u);
  EXPECT_EQ(back.frame_id, "base");
}

TEST(PclConversions, FieldsAreMatchedByName)
{
  pcl::PointCloud<pcl::PointXYZRGB> coloured;
  pcl::PointXYZRGB point(1.25f, -2.5f, 4.0f);
  point.r = 10;
  coloured.push_back(point);
  sensor_msgs::msg::PointCloud2 message;
  pcl::toROSMsg(coloured, message);

  pcl::PointCloud<pcl::PointXYZ> plain;
  pcl::fromROSMsg(message, plain);
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_EQ(plain[0].x, 1.25f);
  EXPECT_EQ(plain[0].y, -2.5f);
  EXPECT_EQ(plain[0].z, 4.0f);
}

TEST(PclConversions, RefusesDataTooShortForTheCloud)
{
  sensor_msgs::msg::PointCloud2 good;
  pcl::toROSMsg(makeOrganisedCloud(), good);
  auto truncated = good;
  truncated.data.pop_back();
  auto narrow_rows = good;
  narrow_rows.row_step = good.point_step;
  for (const auto & bad : {truncated, narrow_rows}) {
    pcl::PointCloud<pcl::PointXYZ> cloud;
    EXPECT_THROW(pcl::fromROSMsg(bad, cloud), std::invalid_argument);
  }
}
}  // namespace
