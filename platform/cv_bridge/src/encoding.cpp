#include <cctype>
#include <map>
#include <string>

#include "cv_bridge/cv_bridge.h"

namespace cv_bridge
{
int getCvType(const std::string & encoding)
{
  namespace enc = sensor_msgs::image_encodings;
  static const std::map<std::string, int> named = {
    {enc::MONO8, CV_8UC1},         {enc::MONO16, CV_16UC1},       {enc::RGB8, CV_8UC3},
    {enc::BGR8, CV_8UC3},          {enc::RGBA8, CV_8UC4},         {enc::BGRA8, CV_8UC4},
    {enc::RGB16, CV_16UC3},        {enc::BGR16, CV_16UC3},        {enc::RGBA16, CV_16UC4},
    {enc::BGRA16, CV_16UC4},       {enc::BAYER_RGGB8, CV_8UC1},   {enc::BAYER_BGGR8, CV_8UC1},
    {enc::BAYER_GBRG8, CV_8UC1},   {enc::BAYER_GRBG8, CV_8UC1},   {enc::BAYER_RGGB16, CV_16UC1},
    {enc::BAYER_BGGR16, CV_16UC1}, {enc::BAYER_GBRG16, CV_16UC1}, {enc::BAYER_GRBG16, CV_16UC1},
    {enc::YUV422, CV_8UC2},        {enc::YUV422_YUY2, CV_8UC2},
  };
  const auto found = named.find(encoding);
  if (found != named.end()) {
    return found->second;
  }

  // Names of the form <depth>C<channels>, such as 8UC1 or 32FC3.
  static const std::pair<const char *, int> depths[] = {
    {"8UC", CV_8U},   {"8SC", CV_8S},   {"16UC", CV_16U}, {"16SC", CV_16S},
    {"32SC", CV_32S}, {"32FC", CV_32F}, {"64FC", CV_64F},
  };
  for (const auto & [prefix, depth] : depths) {
    const std::string p(prefix);
    if (encoding.compare(0, p.size(), p) != 0) {
      continue;
    }
    const std::string count = encoding.substr(p.size());
    if (
      count.empty() || count.size() > 3 || !std::isdigit(static_cast<unsigned char>(count[0])) ||
      count.find_first_not_of("0123456789") != std::string::npos) {
      break;
    }
    const int channels = std::stoi(count);
    if (channels >= 1 && channels <= CV_CN_MAX) {
      return CV_MAKETYPE(depth, channels);
    }
    break;
  }
  throw Exception("Unrecognized image encoding [" + encoding + "]");
}
}  // namespace cv_bridge
