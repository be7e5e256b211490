#ifndef CV_BRIDGE__SRC__CONVERSION_HPP_
#define CV_BRIDGE__SRC__CONVERSION_HPP_

#include <string>

#include <opencv2/core/mat.hpp>

namespace cv_bridge
{
// `source`, holding an image of encoding `from`, turned into encoding `to`: channel order by
// cv::cvtColor between colour and mono encodings, from YUV 4:2:2 to those and from Bayer to mono,
// rgb and bgr; then depth by convertTo (8 <-> 16 bit scaled to the full range, other depth
// changes keep the values). A non-colour encoding (8UC1, 32FC1, ...) only
// converts to one with the same channel count. Throws Exception otherwise.
cv::Mat convertEncoding(const cv::Mat & source, const std::string & from, const std::string & to);

// Reverses the bytes of every element in place (for images of the other endianness).
void swapBytes(cv::Mat & image);

bool hostIsBigEndian();
}  // namespace cv_bridge

#endif  // CV_BRIDGE__SRC__CONVERSION_HPP_
