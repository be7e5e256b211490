#ifndef PCL_CONVERSIONS__PCL_CONVERSIONS_H_
#define PCL_CONVERSIONS__PCL_CONVERSIONS_H_

#include <cstdint>
#include <stdexcept>
#include <string>

#include <pcl/PCLHeader.h>
#include <pcl/PCLPointCloud2.h>
#include <pcl/PCLPointField.h>
#include <pcl/conversions.h>
#include <pcl/point_cloud.h>

#include "builtin_interfaces/msg/time.hpp"
#include "sensor_msgs/msg/point_cloud2.hpp"
#include "sensor_msgs/msg/point_field.hpp"
#include "std_msgs/msg/header.hpp"

namespace pcl_conversions
{
// PCL stamps count microseconds; going to PCL truncates the nanoseconds.
inline void fromPCL(const std::uint64_t & pcl_stamp, builtin_interfaces::msg::Time & stamp)
{
  stamp.sec = static_cast<std::int32_t>(pcl_stamp / 1'000'000);
  stamp.nanosec = static_cast<std::uint32_t>(pcl_stamp % 1'000'000 * 1'000);
}

inline void toPCL(const builtin_interfaces::msg::Time & stamp, std::uint64_t & pcl_stamp)
{
  pcl_stamp = static_cast<std::uint64_t>(stamp.sec) * 1'000'000 + stamp.nanosec / 1'000;
}

inline void fromPCL(const pcl::PCLHeader & pcl_header, std_msgs::msg::Header & header)
{
  fromPCL(pcl_header.stamp, header.stamp);
  header.frame_id = pcl_header.frame_id;
}

// The sequence number has no counterpart in ROS 2 and is set to 0.
inline void toPCL(const std_msgs::msg::Header & header, pcl::PCLHeader & pcl_header)
{
  toPCL(header.stamp, pcl_header.stamp);
  pcl_header.seq = 0;
  pcl_header.frame_id = header.frame_id;
}

inline std_msgs::msg::Header fromPCL(const pcl::PCLHeader & pcl_header)
{
  std_msgs::msg::Header header;
  fromPCL(pcl_header, header);
  return header;
}

inline pcl::PCLHeader toPCL(const std_msgs::msg::Header & header)
{
  pcl::PCLHeader pcl_header;
  toPCL(header, pcl_header);
  return pcl_header;
}

inline void fromPCL(const pcl::PCLPointField & pcl_pf, sensor_msgs::msg::PointField & pf)
{
  pf.name = pcl_pf.name;
  pf.offset = pcl_pf.offset;
  pf.datatype = pcl_pf.datatype;
  pf.count = pcl_pf.count;
}

inline void toPCL(const sensor_msgs::msg::PointField & pf, pcl::PCLPointField & pcl_pf)
{
  pcl_pf.name = pf.name;
  pcl_pf.offset = pf.offset;
  pcl_pf.datatype = pf.datatype;
  pcl_pf.count = pf.count;
}

// Everything of the cloud but its data.
inline void copyPCLPointCloud2MetaData(
  const pcl::PCLPointCloud2 & pcl_pc2, sensor_msgs::msg::PointCloud2 & pc2)
{
  fromPCL(pcl_pc2.header, pc2.header);
  pc2.height = pcl_pc2.height;
  pc2.width = pcl_pc2.width;
  pc2.fields.resize(pcl_pc2.fields.size());
  for (size_t i = 0; i < pcl_pc2.fields.size(); ++i) {
    fromPCL(pcl_pc2.fields[i], pc2.fields[i]);
  }
  pc2.is_bigendian = pcl_pc2.is_bigendian;
  pc2.point_step = pcl_pc2.point_step;
  pc2.row_step = pcl_pc2.row_step;
  pc2.is_dense = pcl_pc2.is_dense;
}

inline void copyPointCloud2MetaData(
  const sensor_msgs::msg::PointCloud2 & pc2, pcl::PCLPointCloud2 & pcl_pc2)
{
  toPCL(pc2.header, pcl_pc2.header);
  pcl_pc2.height = pc2.height;
  pcl_pc2.width = pc2.width;
  pcl_pc2.fields.resize(pc2.fields.size());
  for (size_t i = 0; i < pc2.fields.size(); ++i) {
    toPCL(pc2.fields[i], pcl_pc2.fields[i]);
  }
  pcl_pc2.is_bigendian = pc2.is_bigendian;
  pcl_pc2.point_step = pc2.point_step;
  pcl_pc2.row_step = pc2.row_step;
  pcl_pc2.is_dense = pc2.is_dense;
}

inline void fromPCL(const pcl::PCLPointCloud2 & pcl_pc2, sensor_msgs::msg::PointCloud2 & pc2)
{
  copyPCLPointCloud2MetaData(pcl_pc2, pc2);
  pc2.data = pcl_pc2.data;
}

inline void moveFromPCL(pcl::PCLPointCloud2 & pcl_pc2, sensor_msgs::msg::PointCloud2 & pc2)
{
  copyPCLPointCloud2MetaData(pcl_pc2, pc2);
  pc2.data.swap(pcl_pc2.data);
}

inline void toPCL(const sensor_msgs::msg::PointCloud2 & pc2, pcl::PCLPointCloud2 & pcl_pc2)
{
  copyPointCloud2MetaData(pc2, pcl_pc2);
  pcl_pc2.data = pc2.data;
}

inline void moveToPCL(sensor_msgs::msg::PointCloud2 & pc2, pcl::PCLPointCloud2 & pcl_pc2)
{
  copyPointCloud2MetaData(pc2, pcl_pc2);
  pcl_pc2.data.swap(pc2.data);
}

namespace detail
{
// PCL reads the points by row_step and point_step without checking the buffer; refuse a cloud
// whose data cannot hold them instead of reading past its end.
inline void checkCloudLayout(const sensor_msgs::msg::PointCloud2 & cloud)
{
  const std::uint64_t row_bytes = std::uint64_t{cloud.width} * cloud.point_step;
  const std::uint64_t needed = std::uint64_t{cloud.height} * cloud.row_step;
  if (cloud.row_step < row_bytes || cloud.data.size() < needed) {
    throw std::invalid_argument(
      "PointCloud2 is wrongly formed: width " + std::to_string(cloud.width) + " * point_step " +
      std::to_string(cloud.point_step) + " > row_step " + std::to_string(cloud.row_step) +
      " or height " + std::to_string(cloud.height) + " * row_step > data size " +
      std::to_string(cloud.data.size()));
  }
}
}  // namespace detail
}  // namespace pcl_conversions

namespace pcl
{
template <typename T>
void toROSMsg(const pcl::PointCloud<T> & pcl_cloud, sensor_msgs::msg::PointCloud2 & cloud)
{
  pcl::PCLPointCloud2 pcl_pc2;
  pcl::toPCLPointCloud2(pcl_cloud, pcl_pc2);
  pcl_conversions::moveFromPCL(pcl_pc2, cloud);
}

// Fields are matched by name, so the message may carry fields the point type lacks. Throws
// std::invalid_argument when the data is too short for width, height and the steps.
template <typename T>
void fromROSMsg(const sensor_msgs::msg::PointCloud2 & cloud, pcl::PointCloud<T> & pcl_cloud)
{
  pcl_conversions::detail::checkCloudLayout(cloud);
  pcl::PCLPointCloud2 pcl_pc2;
  pcl_conversions::toPCL(cloud, pcl_pc2);
  pcl::fromPCLPointCloud2(pcl_pc2, pcl_cloud);
}

template <typename T>
void moveFromROSMsg(sensor_msgs::msg::PointCloud2 & cloud, pcl::PointCloud<T> & pcl_cloud)
{
  pcl_conversions::detail::checkCloudLayout(cloud);
  pcl::PCLPointCloud2 pcl_pc2;
  pcl_conversions::moveToPCL(cloud, pcl_pc2);
  pcl::fromPCLPointCloud2(pcl_pc2, pcl_cloud);
}
}  // namespace pcl

#endif  // PCL_CONVERSIONS__PCL_CONVERSIONS_H_
