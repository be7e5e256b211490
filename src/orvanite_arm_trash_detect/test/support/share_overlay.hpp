// A temporary install prefix put in front of AMENT_PREFIX_PATH, so that
// ament_index_cpp::get_package_share_directory("orvanite_arm_trash_detect") finds its share
// folder, with a config folder for the fixture configurations of a test. The previous
// AMENT_PREFIX_PATH comes back and the folder is removed when the overlay goes.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SHARE_OVERLAY_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SHARE_OVERLAY_HPP_

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

namespace orvanite_test
{
class ShareOverlay
{
public:
  ShareOverlay()
  {
    std::string pattern =
      (std::filesystem::temp_directory_path() / "orvanite_share_overlay_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot create a temporary folder from " + pattern);
    }
    prefix_ = pattern;
    const auto index = prefix_ / "share/ament_index/resource_index/packages";
    std::filesystem::create_directories(index);
    std::ofstream(index / kPackage).close();
    std::filesystem::create_directories(ConfigDir());

    if (const char * previous = std::getenv("AMENT_PREFIX_PATH")) {
      previous_path_ = previous;
    }
    const std::string path =
      previous_path_ ? prefix_.string() + ":" + *previous_path_ : prefix_.string();
    setenv("AMENT_PREFIX_PATH", path.c_str(), 1);
  }

  ~ShareOverlay()
  {
    if (previous_path_) {
      setenv("AMENT_PREFIX_PATH", previous_path_->c_str(), 1);
    } else {
      unsetenv("AMENT_PREFIX_PATH");
    }
    std::error_code ignored;
    std::filesystem::remove_all(prefix_, ignored);
  }

  ShareOverlay(const ShareOverlay &) = delete;
  ShareOverlay & operator=(const ShareOverlay &) = delete;

  std::filesystem::path Prefix() const { return prefix_; }
  std::filesystem::path ShareDir() const { return prefix_ / "share" / kPackage; }
  std::filesystem::path ConfigDir() const { return ShareDir() / "config"; }

  // Writes `content` byte for byte to config/<file_name>; returns the file's path.
  std::string WriteConfig(const std::string & file_name, const std::string & content) const
  {
    const auto path = ConfigDir() / file_name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    if (!file) {
      throw std::runtime_error("cannot write " + path.string());
    }
    return path.string();
  }

  void RemoveConfig(const std::string & file_name) const
  {
    std::filesystem::remove(ConfigDir() / file_name);
  }

private:
  static constexpr const char * kPackage = "orvanite_arm_trash_detect";

  std::filesystem::path prefix_;
  std::optional<std::string> previous_path_;
};
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SHARE_OVERLAY_HPP_
