// What lnkinfo (Debian's liblnk-utils) reads from a link file: the independent reader every link
// the engine writes is checked against.
#pragma once
#include <map>
#include <string>

namespace tarvium::test {

struct LnkInfo {
  int nExit = -1;
  std::string out;  // the whole report, for failure messages
  // "Key : value" lines of the report ("Local path", "Command line arguments", ...), UTF-8.
  std::map<std::string, std::string> fields;
  // The value of a field, "<none>" when lnkinfo did not report it.
  std::string operator[](const std::string& key) const;
};

LnkInfo ReadLnkInfo(const std::string& hostPath);

}  // namespace tarvium::test
