#include "support/temp_dir.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tarvium::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tarvium-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::WriteFile(const std::string& name, const std::string& bytes) const {
  const std::string file = path_ + "/" + name;
  WriteHostFile(file, bytes);
  return file;
}

std::string TempDir::WriteScript(const std::string& name, const std::string& body) const {
  const std::string file = WriteFile(name, "#!/bin/sh\n" + body + "\n");
  if (::chmod(file.c_str(), 0755) != 0) throw std::runtime_error("chmod failed: " + file);
  return file;
}

void WriteHostFile(const std::string& hostPath, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path());
  std::ofstream out(hostPath, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadHostFile(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string ZPath(const std::string& hostPath) {
  std::string path = "Z:" + hostPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string BuildDir() {
  const char* dir = std::getenv("TARVIUM_BUILD_DIR");
  return std::filesystem::absolute(dir ? dir : "build").string();
}

}  // namespace tarvium::test
