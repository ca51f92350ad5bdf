// Small questions the file system tests of both machines ask through the FileSystem interface:
// an entry's attributes, and the names an enumeration lists, checked to end as Windows ends it.
// Header-only, so that the Windows build's tests use it without the Linux test support library.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tarvium::test {

inline uint32_t AttributesOf(platform::FileSystem& files, const std::string& path) {
  uint32_t dwAttributes = 0;
  files.GetFileAttributes(path, dwAttributes);
  return dwAttributes;
}

// The names FindFirstFile and FindNextFile list for the pattern, in their order; err is the
// error of FindFirstFile.
inline std::vector<std::string> Names(platform::FileSystem& files, const std::string& pattern,
                                      uint32_t& err) {
  std::vector<std::string> names;
  platform::FindHandle hFind = platform::FindHandle::Invalid;
  platform::FindData data;
  err = files.FindFirstFile(pattern, hFind, data);
  if (err) return names;
  do names.push_back(data.cFileName);
  while (files.FindNextFile(hFind, data) == platform::ERROR_SUCCESS);
  EXPECT_EQ(files.FindNextFile(hFind, data), platform::ERROR_NO_MORE_FILES);
  EXPECT_EQ(files.FindClose(hFind), platform::ERROR_SUCCESS);
  return names;
}

}  // namespace tarvium::test
