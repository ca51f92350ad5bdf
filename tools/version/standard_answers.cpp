#include "standard_answers.h"

#include <cstdio>

#include "platform/command_line_args.h"
#include "version_text.h"

namespace tarvium {

std::optional<int> AnswerVersionOrUsage(int argc, char** argv, std::string_view programName,
                                        const char* pszUsage) {
  if (AsksForVersion(argc, argv)) return PrintVersion(programName);
  if (argc == 2 && platform::IsHelpArgument(argv[1])) {
    std::fputs(pszUsage, stdout);
    return 0;
  }
  return std::nullopt;
}

}  // namespace tarvium
