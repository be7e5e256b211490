#include "orvanite_scene_sim/renderer.hpp"

#include <cmath>
#include <stdexcept>
#include <string>

#include <opencv2/imgproc.hpp>

#include "orvanite_scene_sim/ray_caster.hpp"

namespace orvanite_scene_sim
{

namespace
{

constexpr double kMaxDepthMm = 65535.0;

std::uint16_t ToDepthMm(double z_m)
{
  const double mm = std::round(z_m * 1000.0);
  return (mm >= 1.0 && mm <= kMaxDepthMm) ? static_cast<std::uint16_t>(mm) : 0;
}

// Ray casting of object indices and ideal depth.
void CastPixels(const Scene & scene, const Camera & camera, RenderedFrame & frame, cv::RNG & rng)
{
  const Intrinsics & k = camera.intrinsics;
  const Eigen::Vector3d origin = camera.pose_in_arm_base.translation();
  const Eigen::Matrix3d rotation = camera.pose_in_arm_base.linear();
  for (int v = 0; v < k.height; ++v) {
    for (int u = 0; u < k.width; ++u) {
      // With optical z = 1 the ray parameter is the depth itself.
      const Eigen::Vector3d ray(
        rotation * Eigen::Vector3d((u - k.cx) / k.fx, (v - k.cy) / k.fy, 1.0));
      RayHit hit = CastRay(scene.objects, scene.floor_z, origin, ray, false);
      frame.object_index.at<int>(v, u) = hit.object >= 0 ? hit.object : -1;
      if (hit.object >= 0 && scene.objects[hit.object].transparent) {
        if (rng.uniform(0.0, 1.0) < scene.render.transparent_hole_fraction) {
          continue;
        }
        hit = CastRay(scene.objects, scene.floor_z, origin, ray, true);
      }
      if (hit.object != kNothing) {
        frame.depth_mm.at<std::uint16_t>(v, u) = ToDepthMm(hit.t);
      }
    }
  }
}

void PaintColours(const Scene & scene, RenderedFrame & frame)
{
  std::vector<cv::Vec3b> colours;
  for (const SceneObject & object : scene.objects) {
    const auto entry = scene.class_rgb.find(object.label);
    if (entry == scene.class_rgb.end()) {
      throw std::invalid_argument(
        "object '" + object.name + "' has label " + std::to_string(object.label) +
        ", which has no class colour");
    }
    colours.push_back(entry->second);
  }
  frame.rgb.setTo(scene.floor_rgb);
  for (int v = 0; v < frame.rgb.rows; ++v) {
    for (int u = 0; u < frame.rgb.cols; ++u) {
      const int index = frame.object_index.at<int>(v, u);
      if (index >= 0) {
        frame.rgb.at<cv::Vec3b>(v, u) = colours[index];
      }
    }
  }
  const int grow = scene.render.mask_grow_px;
  if (grow == 0) {
    return;
  }
  const cv::Mat kernel = cv::getStructuringElement(
    cv::MORPH_RECT, cv::Size(2 * std::abs(grow) + 1, 2 * std::abs(grow) + 1));
  const cv::Mat floor = frame.object_index < 0;
  cv::Mat region;
  cv::Mat changed;
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const cv::Mat own = frame.object_index == static_cast<int>(i);
    if (grow > 0) {
      cv::dilate(own, region, kernel);
      changed = region & floor;
      frame.rgb.setTo(colours[i], changed);
    } else {
      cv::erode(own, region, kernel);
      changed = own & ~region;
      frame.rgb.setTo(scene.floor_rgb, changed);
    }
  }
}

void AddNoiseAndHoles(const RenderOptions & options, cv::Mat & depth_mm, cv::RNG & rng)
{
  for (int v = 0; v < depth_mm.rows; ++v) {
    for (int u = 0; u < depth_mm.cols; ++u) {
      auto & pixel = depth_mm.at<std::uint16_t>(v, u);
      if (pixel == 0) {
        continue;
      }
      if (options.hole_fraction > 0.0 && rng.uniform(0.0, 1.0) < options.hole_fraction) {
        pixel = 0;
      } else if (options.depth_noise_mm > 0.0) {
        const double noisy = std::round(pixel + rng.gaussian(options.depth_noise_mm));
        pixel = static_cast<std::uint16_t>(std::clamp(noisy, 1.0, kMaxDepthMm));
      }
    }
  }
}

}  // namespace

RenderedFrame Render(const Scene & scene, const Camera & camera)
{
  const Intrinsics & k = camera.intrinsics;
  RenderedFrame frame;
  frame.rgb.create(k.height, k.width, CV_8UC3);
  frame.depth_mm = cv::Mat::zeros(k.height, k.width, CV_16UC1);
  frame.object_index.create(k.height, k.width, CV_32SC1);
  cv::RNG rng(scene.render.seed);
  CastPixels(scene, camera, frame, rng);
  PaintColours(scene, frame);
  AddNoiseAndHoles(scene.render, frame.depth_mm, rng);
  return frame;
}

}  // namespace orvanite_scene_sim
