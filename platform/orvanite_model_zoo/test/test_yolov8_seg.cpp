#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orvanite_model_zoo/yolov8_seg.hpp"
#include "test_support.hpp"

namespace
{

using ai_orva::model::DetectedObject;
using ai_orva::model::YOLOv8Seg;
using test_support::TempDir;

const cv::Size kInput(64, 64);

constexpr const char * kColorKeyConfig = R"(backend: color_key
color_key:
  min_area: 1
  colors:
    - rgb: [255, 0, 0]
      label: 2
      score: 0.5
)";

// Generates the networks once per test binary: a valid two-class one with one box a little wider
// than the input, and one without prototypes.
class WithTestNetworks : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    dir_ = std::make_unique<TempDir>();
    try {
      test_support::TestNetwork network{kInput, 2, {{{-4, 0, 72, 64}, 1, 0.9F}}};
      valid_model_ = test_support::GenerateOnnx(network, *dir_, "valid");
      network.with_prototypes = false;
      no_prototypes_model_ = test_support::GenerateOnnx(network, *dir_, "no_prototypes");
    } catch (const std::exception & e) {
      setup_error_ = e.what();
    }
  }

  static void TearDownTestSuite() { dir_.reset(); }

  void SetUp() override { ASSERT_TRUE(setup_error_.empty()) << setup_error_; }

  static std::string onnxConfig()
  {
    return test_support::OnnxConfigText({valid_model_, kInput, 2});
  }

  static inline std::unique_ptr<TempDir> dir_;
  static inline std::string valid_model_;
  static inline std::string no_prototypes_model_;
  static inline std::string setup_error_;
};

struct BadConfig
{
  const char * name;
  // The valid configuration to start from: "onnx", "color_key" or "" for none.
  std::string base;
  // Replaces the first occurrence of `from` in the base by `to`; the whole text when base is "".
  // "@VALID@" stands for the valid network, "@GARBAGE@" for a file that is no network and
  // "@NO_PROTOTYPES@" for a network without prototype output.
  std::string from;
  std::string to;
  std::string problem;
};

void PrintTo(const BadConfig & config, std::ostream * os) { *os << config.name; }

class BadConfiguration : public WithTestNetworks, public ::testing::WithParamInterface<BadConfig>
{
};

TEST_P(BadConfiguration, ThrowsNamingTheFileAndTheProblem)
{
  const BadConfig & c = GetParam();
  const std::string garbage = dir_->write("garbage.onnx", "not a network");
  const auto expand = [&garbage](std::string text) {
    for (const auto & [token, value] :
         {std::pair{"@VALID@", valid_model_}, std::pair{"@GARBAGE@", garbage},
          std::pair{"@NO_PROTOTYPES@", no_prototypes_model_}}) {
      const std::size_t at = text.find(token);
      if (at != std::string::npos) {
        text.replace(at, std::string(token).size(), value);
      }
    }
    return text;
  };
  std::string text = expand(c.to);
  if (!c.base.empty()) {
    text = c.base == "onnx" ? onnxConfig() : kColorKeyConfig;
    const std::string from = expand(c.from);
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), expand(c.to));
  }
  const std::string path = c.problem == "cannot open the model configuration file"
                             ? (dir_->path() / "absent.yaml").string()
                             : dir_->write("bad.yaml", text);
  try {
    YOLOv8Seg model(path);
    FAIL() << "no exception for:\n" << text;
  } catch (const std::runtime_error & e) {
    const std::string what = e.what();
    EXPECT_NE(what.find(path), std::string::npos) << what;
    EXPECT_NE(what.find(c.problem), std::string::npos) << what;
  }
}

INSTANTIATE_TEST_SUITE_P(
  , BadConfiguration,
  ::testing::Values(
    BadConfig{"missing_file", "", "", "", "cannot open the model configuration file"},
    BadConfig{"not_yaml", "", "", "backend: [onnx", "not a valid YAML file"},
    BadConfig{"not_a_map", "", "", "- onnx", "must be a YAML map"},
    BadConfig{"no_backend", "onnx", "backend: onnx", "", "key 'backend': is missing"},
    BadConfig{
      "unknown_backend", "onnx", "backend: onnx", "backend: tensorrt",
      "unknown backend 'tensorrt'"},
    BadConfig{"no_section", "onnx", "onnx:", "other:", "key 'onnx': is missing"},
    BadConfig{
      "missing_key", "onnx", "  num_classes: 2\n", "", "key 'onnx.num_classes': is missing"},
    BadConfig{
      "wrong_type", "onnx", "num_classes: 2", "num_classes: many",
      "key 'onnx.num_classes': has the wrong type"},
    BadConfig{
      "out_of_range", "onnx", "score_threshold: 0.3", "score_threshold: 1.5",
      "key 'onnx.score_threshold': must lie in"},
    BadConfig{
      "absent_model", "onnx", "model_path: ", "model_path: absent/",
      "key 'onnx.model_path': model file"},
    BadConfig{"garbage_model", "onnx", "@VALID@", "@GARBAGE@", "does not load"},
    BadConfig{
      "class_count_mismatch", "onnx", "num_classes: 2", "num_classes: 3",
      "does not fit 3 classes and 32 prototypes"},
    BadConfig{
      "no_prototype_output", "onnx", "@VALID@", "@NO_PROTOTYPES@", "without the prototypes"},
    BadConfig{"no_colors", "color_key", "colors:", "shades:", "key 'color_key.colors': is missing"},
    BadConfig{
      "short_rgb", "color_key", "[255, 0, 0]", "[255, 0]",
      "key 'color_key.colors[0].rgb': must be three values"},
    BadConfig{
      "zero_min_area", "color_key", "min_area: 1", "min_area: 0",
      "key 'color_key.min_area': must be 1 or more"}),
  [](const ::testing::TestParamInfo<BadConfig> & info) { return std::string(info.param.name); });

class FrameChecks : public WithTestNetworks
{
protected:
  std::vector<std::unique_ptr<YOLOv8Seg>> models()
  {
    std::vector<std::unique_ptr<YOLOv8Seg>> list;
    list.push_back(std::make_unique<YOLOv8Seg>(dir_->write("onnx.yaml", onnxConfig())));
    list.push_back(std::make_unique<YOLOv8Seg>(dir_->write("color_key.yaml", kColorKeyConfig)));
    return list;
  }
};

TEST_F(FrameChecks, RejectsFramesThatAreNotEightBitThreeChannel)
{
  const std::vector<cv::Mat> frames = {
    cv::Mat(), cv::Mat(8, 8, CV_8UC1, cv::Scalar::all(255)),
    cv::Mat(8, 8, CV_8UC4, cv::Scalar::all(255)), cv::Mat(8, 8, CV_16UC3, cv::Scalar::all(255)),
    cv::Mat(8, 8, CV_32FC3, cv::Scalar::all(255))};
  for (const auto & model : models()) {
    for (const cv::Mat & frame : frames) {
      SCOPED_TRACE("type " + std::to_string(frame.type()) + " size " + std::to_string(frame.cols));
      std::vector<DetectedObject> objects(1);
      EXPECT_FALSE(model->detect(frame, objects));
      EXPECT_TRUE(objects.empty());
    }
  }
}

// A 1-pixel frame, extreme aspect ratios and a view into a larger image all pass through the
// letterbox and the region search; every box stays inside its frame.
TEST_F(FrameChecks, AcceptsFramesOfAnyShape)
{
  cv::Mat large(40, 60, CV_8UC3, cv::Scalar(255, 0, 0));
  const std::vector<cv::Mat> frames = {
    cv::Mat(1, 1, CV_8UC3, cv::Scalar(255, 0, 0)), cv::Mat(1, 1000, CV_8UC3, cv::Scalar(255, 0, 0)),
    cv::Mat(700, 3, CV_8UC3, cv::Scalar(255, 0, 0)), large(cv::Rect(5, 7, 20, 10))};
  for (const auto & model : models()) {
    for (const cv::Mat & frame : frames) {
      SCOPED_TRACE(std::to_string(frame.cols) + "x" + std::to_string(frame.rows));
      std::vector<DetectedObject> objects;
      ASSERT_TRUE(model->detect(frame, objects));
      ASSERT_EQ(objects.size(), 1U);
      const cv::Rect_<float> whole(0, 0, frame.cols, frame.rows);
      EXPECT_EQ(objects[0].rect & whole, objects[0].rect);
      EXPECT_GT(objects[0].rect.area(), 0.0F);
      EXPECT_EQ(objects[0].mask.size(), frame.size());
    }
  }
}

// The shipped examples stay in step with the parser: the colour one runs as it is, the network
// one fails only for the network file that users supply.
TEST(ShippedExamples, ParseCompletely)
{
  const std::string dir = TEST_CONFIG_DIR;
  YOLOv8Seg color_key(dir + "/example_color_key.yaml");
  std::vector<DetectedObject> objects;
  ASSERT_TRUE(color_key.detect(cv::Mat(60, 80, CV_8UC3, cv::Scalar(0, 0, 255)), objects));
  ASSERT_EQ(objects.size(), 1U);
  EXPECT_EQ(objects[0].label, 4);

  try {
    YOLOv8Seg onnx(dir + "/example_onnx.yaml");
    FAIL() << "the example network is not shipped";
  } catch (const std::runtime_error & e) {
    EXPECT_NE(
      std::string(e.what()).find(
        "key 'onnx.model_path': model file '" + dir + "/yolov8_seg.onnx' does not exist"),
      std::string::npos)
      << e.what();
  }
}

}  // namespace
