// The destination directory of an unpack operation as the entries see it: directories below it
// are created as entries need them, and each is checked once for being a symbolic link (a
// reparse point), which an entry must never be written through. The directories already checked
// are remembered for the operation, so an archive of many files in few folders costs one check
// per folder.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_set>

#include "platform/file_system.h"

namespace tarvium {

class DestinationTree {
 public:
  // root: the destination directory, with or without a trailing '\'.
  DestinationTree(platform::FileSystem& files, std::string root);

  const std::string& Root() const { return root_; }  // with a trailing '\'
  // Makes sure root + relDir ('\'-separated, no trailing '\') is a directory reached without a
  // symbolic link, creating what is missing. False when that cannot be.
  bool MakeDirectory(const std::string& relDir);
  // The attributes of root + relName, INVALID_FILE_ATTRIBUTES when it does not exist.
  uint32_t AttributesOf(const std::string& relName);

 private:
  platform::FileSystem& files_;
  std::string root_;
  std::unordered_set<std::string> checked_;  // relative directories known to be safe
};

}  // namespace tarvium
