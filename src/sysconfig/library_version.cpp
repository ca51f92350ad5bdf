#include "sysconfig/library_version.h"

#include <cstdio>
#include <string>

#include "engine/show_message.h"

namespace tarvium {
namespace {

std::string VersionText(uint64_t qwVersion) {
  char text[48];
  std::snprintf(text, sizeof(text), "%u.%02u.%02u.%02u", unsigned(qwVersion >> 48),
                unsigned((qwVersion >> 32) & 0xFFFF), unsigned((qwVersion >> 16) & 0xFFFF),
                unsigned(qwVersion & 0xFFFF));
  return text;
}

}  // namespace

bool LibraryVersionSuffices(SetupRun& run, const char* pszFile, const char* pszDescription,
                            uint64_t qwHave, uint64_t qwNeed) {
  if (qwHave >= qwNeed) return true;
  ShowMessage(run, 5552, pszFile, pszDescription, VersionText(qwNeed), VersionText(qwHave));
  return false;
}

}  // namespace tarvium
