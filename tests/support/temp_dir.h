// A fresh host directory for one test, removed with everything in it when the test ends.
#pragma once
#include <string>

namespace tarvium::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // Writes bytes to Path()/name and returns the host path of the file.
  std::string WriteFile(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

}  // namespace tarvium::test
