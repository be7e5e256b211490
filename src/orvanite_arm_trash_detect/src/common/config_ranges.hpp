// The ranges in which the numbers of the configuration files (and the camera intrinsics) are
// defined for the code that uses them. Every number is checked against its range when its file
// is loaded (YamlConfigReader::ReadInRange and its kin), so a value outside stops start-up with
// "<file>: <map>/<key>: <value> is outside [<min>, <max>]" instead of overflowing, aborting or
// dropping every frame later. The bounds are generous: each admits every value a working set-up
// can have and stops where the code is no longer defined or the value is plainly nonsense.
#ifndef ORVANITE_ARM_TRASH_DETECT__COMMON__CONFIG_RANGES_HPP_
#define ORVANITE_ARM_TRASH_DETECT__COMMON__CONFIG_RANGES_HPP_

namespace orvanite
{

// Both bounds included; NaN is never inside.
template <typename T>
struct ValueRange
{
  T min;
  T max;

  constexpr bool Contains(T value) const { return value >= min && value <= max; }
};

// Largest image side accepted, in pixels: far above any RGB-D camera, far below what overflows
// the pixel arithmetic of the per-frame steps.
constexpr unsigned int kMaxImageSide = 1U << 15;

namespace config_range
{
// --- Camera geometry ---

// Focal lengths, px: below 1 px a pinhole camera would see more than 179 degrees, above 1e5 px a
// 640-pixel image less than 0.4 degrees. (fx = 1e-36 would put every point beyond 1e4 m.)
inline constexpr ValueRange<float> kFocalLength{1.0f, 1.0e5f};
// Principal point, px: on an image of at most kMaxImageSide pixels.
inline constexpr ValueRange<float> kPrincipalPoint{0.0f, static_cast<float>(kMaxImageSide)};
// Entries of the extrinsic matrices and translations, m: rotation entries lie within [-1, 1],
// and from farther than 1e4 m (GrabPoseEstimate::kMaxCoordinate) no point a camera measures is
// kept. Within that a matrix is taken as given, rigid or not.
inline constexpr ValueRange<float> kExtrinsicEntry{-1.0e4f, 1.0e4f};
// Euler angles, deg: one turn either way; beyond, sine and cosine only lose precision.
inline constexpr ValueRange<float> kEulerAngle{-360.0f, 360.0f};

// --- Estimator and gates ---

// Lengths, heights and distances, m: the arm reaches about 1 m; 10 m is beyond any item or
// reach and keeps every sum of lengths far from float overflow. Negative lengths are nonsense.
inline constexpr ValueRange<float> kLength{0.0f, 10.0f};
// Signed offsets, m: the arm's joint offsets and the floor margin added to height thresholds.
inline constexpr ValueRange<float> kOffset{-10.0f, 10.0f};
// Azimuth limits, deg: azimuths lie within [-180, 180], so wider limits would pass everything.
inline constexpr ValueRange<float> kAzimuth{-180.0f, 180.0f};
// Tilt of the far-side cut plane, deg: from horizontal to vertical.
inline constexpr ValueRange<float> kTilt{0.0f, 90.0f};
// Ratios (m per m, box height over width): far beyond every tuned value, never negative.
inline constexpr ValueRange<float> kRatio{0.0f, 100.0f};
// Shares, overlaps and confidences.
inline constexpr ValueRange<float> kFraction{0.0f, 1.0f};
// Voxel edge, m: 0.1 mm is finer than any depth camera resolves (a zero or negative edge makes
// no grid); 0.1 m would leave an item of the arm's size only a few points.
inline constexpr ValueRange<float> kVoxelLeaf{1.0e-4f, 0.1f};
// Neighbours of the outlier filter: at least one (below, PCL sizes its buffers negative and
// throws length_error on every frame); 1000 is twenty times the tuned value.
inline constexpr ValueRange<int> kOutlierNeighbours{1, 1000};
// Point counts: a cloud holds at most one point per pixel of the largest image.
inline constexpr ValueRange<unsigned int> kPointCount{0U, kMaxImageSide * kMaxImageSide};

// --- Camera settings ---

// Camera numbers: GrabTrashCloud carries them in 8 bits, and a negative one makes invalid
// topic names.
inline constexpr ValueRange<int> kCameraId{0, 255};
// Image-edge margin, px: a margin, not a crop; 100 px leaves most of the 640 x 360 fallback
// image, and a bounded margin keeps `width - margin` from overflowing.
inline constexpr ValueRange<int> kEdgeMargin{0, 100};
// Erosion half-size e, px: a negative size makes OpenCV's erosion assert on every frame; up to
// 1000 px the kernel side 2e + 1 and the margins around the mask stay far from int overflow,
// and masks 2000 px across are eroded away already.
inline constexpr ValueRange<int> kErosionSize{0, 1000};
// Class ids (model label + 1): those of the 23 trash classes of the class table.
inline constexpr ValueRange<int> kClassId{1, 23};
// Durations, ms: up to an hour; a negative duration is nonsense.
inline constexpr ValueRange<int> kDurationMs{0, 3600000};
// Choice radii, m: above zero, since with 0 no record is ever chosen, up to kLength's 10 m.
inline constexpr ValueRange<float> kChoiceRadius{0.001f, 10.0f};
}  // namespace config_range

}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__COMMON__CONFIG_RANGES_HPP_
