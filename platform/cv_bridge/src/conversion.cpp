#include "conversion.hpp"

#include <algorithm>
#include <map>
#include <utility>

#include <opencv2/imgproc.hpp>

#include "cv_bridge/cv_bridge.h"

namespace cv_bridge
{
namespace
{
enum class Layout
{
  kNone,
  kMono,
  kRgb,
  kBgr,
  kRgba,
  kBgra
};

Layout layoutOf(const std::string & encoding)
{
  namespace enc = sensor_msgs::image_encodings;
  static const std::map<std::string, Layout> layouts = {
    {enc::MONO8, Layout::kMono},  {enc::MONO16, Layout::kMono}, {enc::RGB8, Layout::kRgb},
    {enc::RGB16, Layout::kRgb},   {enc::BGR8, Layout::kBgr},    {enc::BGR16, Layout::kBgr},
    {enc::RGBA8, Layout::kRgba},  {enc::RGBA16, Layout::kRgba}, {enc::BGRA8, Layout::kBgra},
    {enc::BGRA16, Layout::kBgra},
  };
  const auto found = layouts.find(encoding);
  return found == layouts.end() ? Layout::kNone : found->second;
}

int colorCode(Layout from, Layout to)
{
  static const std::map<std::pair<Layout, Layout>, int> codes = {
    {{Layout::kMono, Layout::kRgb}, cv::COLOR_GRAY2RGB},
    {{Layout::kMono, Layout::kBgr}, cv::COLOR_GRAY2BGR},
    {{Layout::kMono, Layout::kRgba}, cv::COLOR_GRAY2RGBA},
    {{Layout::kMono, Layout::kBgra}, cv::COLOR_GRAY2BGRA},
    {{Layout::kRgb, Layout::kMono}, cv::COLOR_RGB2GRAY},
    {{Layout::kRgb, Layout::kBgr}, cv::COLOR_RGB2BGR},
    {{Layout::kRgb, Layout::kRgba}, cv::COLOR_RGB2RGBA},
    {{Layout::kRgb, Layout::kBgra}, cv::COLOR_RGB2BGRA},
    {{Layout::kBgr, Layout::kMono}, cv::COLOR_BGR2GRAY},
    {{Layout::kBgr, Layout::kRgb}, cv::COLOR_BGR2RGB},
    {{Layout::kBgr, Layout::kRgba}, cv::COLOR_BGR2RGBA},
    {{Layout::kBgr, Layout::kBgra}, cv::COLOR_BGR2BGRA},
    {{Layout::kRgba, Layout::kMono}, cv::COLOR_RGBA2GRAY},
    {{Layout::kRgba, Layout::kRgb}, cv::COLOR_RGBA2RGB},
    {{Layout::kRgba, Layout::kBgr}, cv::COLOR_RGBA2BGR},
    {{Layout::kRgba, Layout::kBgra}, cv::COLOR_RGBA2BGRA},
    {{Layout::kBgra, Layout::kMono}, cv::COLOR_BGRA2GRAY},
    {{Layout::kBgra, Layout::kRgb}, cv::COLOR_BGRA2RGB},
    {{Layout::kBgra, Layout::kBgr}, cv::COLOR_BGRA2BGR},
    {{Layout::kBgra, Layout::kRgba}, cv::COLOR_BGRA2RGBA},
  };
  return codes.at({from, to});
}

cv::Mat changeDepth(const cv::Mat & source, int depth)
{
  if (source.depth() == depth) {
    return source;
  }
  double scale = 1.0;
  if (source.depth() == CV_8U && depth == CV_16U) {
    scale = 65535.0 / 255.0;
  } else if (source.depth() == CV_16U && depth == CV_8U) {
    scale = 255.0 / 65535.0;
  }
  cv::Mat converted;
  source.convertTo(converted, depth, scale);
  return converted;
}
}  // namespace

cv::Mat convertEncoding(const cv::Mat & source, const std::string & from, const std::string & to)
{
  const int to_type = getCvType(to);
  const Layout from_layout = layoutOf(from);
  const Layout to_layout = layoutOf(to);
  cv::Mat reordered = source;
  if (from_layout == Layout::kNone || to_layout == Layout::kNone) {
    if (from_layout == Layout::kNone && to_layout != Layout::kNone) {
      throw Exception(
        "[" + from + "] is not a color format. but [" + to +
        "] is. The conversion does not make sense");
    }
    if (source.channels() != CV_MAT_CN(to_type)) {
      throw Exception(
        "Unsupported conversion from [" + from + "] to [" + to + "]: the channel counts differ");
    }
  } else if (from_layout != to_layout) {
    cv::cvtColor(source, reordered, colorCode(from_layout, to_layout));
  }
  return changeDepth(reordered, CV_MAT_DEPTH(to_type));
}

void swapBytes(cv::Mat & image)
{
  const size_t element = image.elemSize1();
  if (element == 1) {
    return;
  }
  for (int row = 0; row < image.rows; ++row) {
    uchar * begin = image.ptr(row);
    uchar * const end = begin + image.cols * image.elemSize();
    for (; begin != end; begin += element) {
      std::reverse(begin, begin + element);
    }
  }
}

bool hostIsBigEndian() { return __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__; }
}  // namespace cv_bridge
