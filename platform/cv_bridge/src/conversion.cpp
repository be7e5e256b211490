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
  kBgra,
  kUyvy,
  kYuyv,
  kBayerRggb,
  kBayerBggr,
  kBayerGbrg,
  kBayerGrbg
};

Layout layoutOf(const std::string & encoding)
{
  namespace enc = sensor_msgs::image_encodings;
  static const std::map<std::string, Layout> layouts = {
    {enc::MONO8, Layout::kMono},
    {enc::MONO16, Layout::kMono},
    {enc::RGB8, Layout::kRgb},
    {enc::RGB16, Layout::kRgb},
    {enc::BGR8, Layout::kBgr},
    {enc::BGR16, Layout::kBgr},
    {enc::RGBA8, Layout::kRgba},
    {enc::RGBA16, Layout::kRgba},
    {enc::BGRA8, Layout::kBgra},
    {enc::BGRA16, Layout::kBgra},
    {enc::YUV422, Layout::kUyvy},
    {enc::YUV422_YUY2, Layout::kYuyv},
    {enc::BAYER_RGGB8, Layout::kBayerRggb},
    {enc::BAYER_RGGB16, Layout::kBayerRggb},
    {enc::BAYER_BGGR8, Layout::kBayerBggr},
    {enc::BAYER_BGGR16, Layout::kBayerBggr},
    {enc::BAYER_GBRG8, Layout::kBayerGbrg},
    {enc::BAYER_GBRG16, Layout::kBayerGbrg},
    {enc::BAYER_GRBG8, Layout::kBayerGrbg},
    {enc::BAYER_GRBG16, Layout::kBayerGrbg},
  };
  const auto found = layouts.find(encoding);
  return found == layouts.end() ? Layout::kNone : found->second;
}

// The cv::cvtColor code from one layout to another; -1 when there is none. OpenCV names a Bayer
// pattern by the second row's first two pixels, hence the shifted names (rggb is BayerBG).
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
    {{Layout::kUyvy, Layout::kMono}, cv::COLOR_YUV2GRAY_UYVY},
    {{Layout::kUyvy, Layout::kRgb}, cv::COLOR_YUV2RGB_UYVY},
    {{Layout::kUyvy, Layout::kBgr}, cv::COLOR_YUV2BGR_UYVY},
    {{Layout::kUyvy, Layout::kRgba}, cv::COLOR_YUV2RGBA_UYVY},
    {{Layout::kUyvy, Layout::kBgra}, cv::COLOR_YUV2BGRA_UYVY},
    {{Layout::kYuyv, Layout::kMono}, cv::COLOR_YUV2GRAY_YUY2},
    {{Layout::kYuyv, Layout::kRgb}, cv::COLOR_YUV2RGB_YUY2},
    {{Layout::kYuyv, Layout::kBgr}, cv::COLOR_YUV2BGR_YUY2},
    {{Layout::kYuyv, Layout::kRgba}, cv::COLOR_YUV2RGBA_YUY2},
    {{Layout::kYuyv, Layout::kBgra}, cv::COLOR_YUV2BGRA_YUY2},
    {{Layout::kBayerRggb, Layout::kMono}, cv::COLOR_BayerBG2GRAY},
    {{Layout::kBayerRggb, Layout::kRgb}, cv::COLOR_BayerBG2RGB},
    {{Layout::kBayerRggb, Layout::kBgr}, cv::COLOR_BayerBG2BGR},
    {{Layout::kBayerBggr, Layout::kMono}, cv::COLOR_BayerRG2GRAY},
    {{Layout::kBayerBggr, Layout::kRgb}, cv::COLOR_BayerRG2RGB},
    {{Layout::kBayerBggr, Layout::kBgr}, cv::COLOR_BayerRG2BGR},
    {{Layout::kBayerGbrg, Layout::kMono}, cv::COLOR_BayerGR2GRAY},
    {{Layout::kBayerGbrg, Layout::kRgb}, cv::COLOR_BayerGR2RGB},
    {{Layout::kBayerGbrg, Layout::kBgr}, cv::COLOR_BayerGR2BGR},
    {{Layout::kBayerGrbg, Layout::kMono}, cv::COLOR_BayerGB2GRAY},
    {{Layout::kBayerGrbg, Layout::kRgb}, cv::COLOR_BayerGB2RGB},
    {{Layout::kBayerGrbg, Layout::kBgr}, cv::COLOR_BayerGB2BGR},
  };
  const auto found = codes.find({from, to});
  return found == codes.end() ? -1 : found->second;
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
    const int code = colorCode(from_layout, to_layout);
    if (code < 0) {
      throw Exception("Unsupported conversion from [" + from + "] to [" + to + "]");
    }
    // Colour first, at the source depth; the depth changes afterwards.
    cv::cvtColor(source, reordered, code);
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
