#include "version_text.h"

#include <algorithm>

#include "platform/local_services.h"
#include "tarvium_version.h"

namespace tarvium {

bool IsVersionArgument(std::string_view argument) {
  return argument == "--version";
}

bool AsksForVersion(int argc, char** argv) {
  return argc > 1 && IsVersionArgument(argv[1]);
}

bool AnyArgumentAsksForVersion(int argc, char** argv) {
  return std::any_of(argv + std::min(argc, 1), argv + argc,
                     [](const char* argument) { return IsVersionArgument(argument); });
}

std::string VersionText(std::string_view programName) {
  return std::string(programName) + " (" + kProductName + ") " + kProductVersion + "\n" +
         kCopyright +
         "\n"
         "License MIT: you may use, copy, change and pass on this software freely.\n"
         "There is NO WARRANTY, to the extent permitted by law.";
}

void WriteLines(platform::Console& console, std::string_view lines) {
  std::string_view rest = lines;
  while (true) {
    const size_t nBreak = rest.find('\n');
    console.WriteLine(std::string(rest.substr(0, nBreak)));
    if (nBreak == std::string_view::npos) return;
    rest.remove_prefix(nBreak + 1);
  }
}

void WriteVersion(platform::Console& console, std::string_view programName) {
  WriteLines(console, VersionText(programName));
}

int PrintVersion(std::string_view programName) {
  WriteVersion(*platform::OpenLocalConsole(), programName);
  return 0;
}

}  // namespace tarvium
