#include "ui/browse_start.h"

namespace tarvium::ui {
namespace {

bool IsBareDrive(const std::string& text) {
  const char cDrive = static_cast<char>(text.empty() ? 0 : text[0] | 0x20);
  return text.size() == 2 && text[1] == ':' && cDrive >= 'a' && cDrive <= 'z';
}

}  // namespace

std::string BrowseStartDirectory(const std::string& fieldText, platform::FileSystem& files) {
  std::string start = fieldText;
  if (!files.DirectoryExists(start)) {
    const size_t nLast = start.rfind('\\');
    if (nLast != std::string::npos) start.erase(nLast);
  }
  if (IsBareDrive(start)) start += '\\';
  return start;
}

}  // namespace tarvium::ui
