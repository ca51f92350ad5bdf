// Directory creation below an unpack destination, one component at a time, so that a symbolic
// link anywhere on the way is seen before anything is created or written through it.
#include "archive/destination_tree.h"

#include <utility>

#include "platform/win_error.h"

namespace tarvium {

DestinationTree::DestinationTree(platform::FileSystem& files, std::string root)
    : files_(files), root_(std::move(root)) {
  if (root_.empty() || root_.back() != '\\') root_ += '\\';
}

uint32_t DestinationTree::AttributesOf(const std::string& relName) {
  uint32_t dwAttributes = platform::INVALID_FILE_ATTRIBUTES;
  if (files_.GetFileAttributes(root_ + relName, dwAttributes) != platform::ERROR_SUCCESS)
    return platform::INVALID_FILE_ATTRIBUTES;
  return dwAttributes;
}

bool DestinationTree::MakeDirectory(const std::string& relDir) {
  if (!checked_.count("")) {  // the root itself, which may be reached through a link
    const uint32_t dwError = files_.CreateDirectoryTree(root_);
    if (dwError != platform::ERROR_SUCCESS && dwError != platform::ERROR_ALREADY_EXISTS)
      return false;
    checked_.insert("");
  }
  if (checked_.count(relDir)) return true;
  for (size_t nEnd = relDir.find('\\');; nEnd = relDir.find('\\', nEnd + 1)) {
    const std::string dir = relDir.substr(0, nEnd);
    if (!checked_.count(dir)) {
      const uint32_t dwAttributes = AttributesOf(dir);
      if (dwAttributes == platform::INVALID_FILE_ATTRIBUTES) {
        if (files_.CreateDirectory(root_ + dir) != platform::ERROR_SUCCESS) return false;
      } else if ((dwAttributes & platform::FILE_ATTRIBUTE_REPARSE_POINT) ||
                 !(dwAttributes & platform::FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
      }
      checked_.insert(dir);
    }
    if (nEnd == std::string::npos) return true;
  }
}

}  // namespace tarvium
