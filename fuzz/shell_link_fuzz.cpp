// libFuzzer target for the shell-link reader. Any bytes must read without a crash or a read
// outside the buffer; a link that reads must give the same fields when read again, and its target
// must be formed from them without a crash. The seeds are the links the tests use.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/shell_link.h"

namespace {

void Require(bool bHolds) {
  if (!bHolds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  platform::ShellLink link;
  if (!platform::ReadShellLink(bytes, link)) return 0;
  Require(size >= platform::kShellLinkHeaderSize);
  platform::ShellLink again;
  Require(platform::ReadShellLink(bytes, again));
  Require(again.szArguments == link.szArguments && again.szWorkingDir == link.szWorkingDir &&
          again.szLocalBasePath == link.szLocalBasePath);
  const std::string target = platform::ShellLinkTarget(link, "C:\\Links\\x.lnk");
  Require(platform::ShowCommandOfLink(link) != 0);
  (void)target;
  return 0;
}
