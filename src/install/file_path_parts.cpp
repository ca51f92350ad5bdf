#include "install/file_path_parts.h"

namespace tarvium {
namespace {

// Where the last name starts.
size_t NameStart(std::string_view path) {
  const size_t nSeparator = path.find_last_of("\\/:");
  return nSeparator == std::string_view::npos ? 0 : nSeparator + 1;
}

// Where the extension's dot of the last name is, or npos.
size_t ExtensionStart(std::string_view path) {
  const size_t nDot = path.rfind('.');
  return nDot == std::string_view::npos || nDot < NameStart(path) ? std::string_view::npos : nDot;
}

}  // namespace

std::string ParentDirectoryOf(std::string_view path) {
  const size_t nStart = NameStart(path);
  if (nStart == 0) return {};
  // A drive ("C:x") or a drive's root ("C:\x") keeps its separator: it is the directory.
  const bool bDriveOrRoot = path[nStart - 1] == ':' || (nStart == 3 && path[1] == ':');
  return std::string(path.substr(0, bDriveOrRoot ? nStart : nStart - 1));
}

std::string FileNameOf(std::string_view path) {
  return std::string(path.substr(NameStart(path)));
}

std::string PathWithoutExtension(std::string_view path) {
  return std::string(path.substr(0, ExtensionStart(path)));
}

std::string ExtensionOf(std::string_view path) {
  const size_t nDot = ExtensionStart(path);
  return nDot == std::string_view::npos ? std::string() : std::string(path.substr(nDot));
}

}  // namespace tarvium
