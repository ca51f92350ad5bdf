// A fresh folder under the system's temporary directory for one test, removed with everything in
// it at the end (read-only entries included). Made and removed with the C++ library, not with the
// services under test.
#pragma once
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace tarvium::test {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    do path_ = base / ("tarvium-" + std::to_string(random()));
    while (!std::filesystem::create_directory(path_));
  }
  ~ScratchFolder() {
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ec))
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's Windows path, without a trailing backslash.
  std::string Path() const { return path_.string(); }
  // The Windows path of a name in the folder ("sub\file.txt").
  std::string operator/(const std::string& name) const { return Path() + "\\" + name; }

 private:
  std::filesystem::path path_;
};

}  // namespace tarvium::test
