// A fresh host directory for one test, removed with everything in it when the test ends, and the
// few host-file helpers that tests around it share: reading a file back, writing a small shell
// script that the process service can start, and naming a host path on the machine's Z: drive.
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
  // Writes an executable "#!/bin/sh" script with the body and returns its host path.
  std::string WriteScript(const std::string& name, const std::string& body) const;

 private:
  std::string path_;
};

// Writes the bytes to a host file, making its folders.
void WriteHostFile(const std::string& hostPath, const std::string& bytes);
// The bytes of a host file; "" when it cannot be read.
std::string ReadHostFile(const std::string& hostPath);
// The Windows path of a host path on Z:, which is the host's root on every machine.
std::string ZPath(const std::string& hostPath);
// TARVIUM_BUILD_DIR (set by CTest) as an absolute path, else "build" below the current folder.
std::string BuildDir();

}  // namespace tarvium::test
