// What the small tools answer before they read their own arguments: --version as the first
// argument, and the usage for a lone "--help", "-h" or "/?".
#pragma once
#include <optional>
#include <string_view>

namespace tarvium {

// The tool's exit status when the arguments asked one of these (the answer is printed on standard
// output); none when the tool goes on with its own arguments.
std::optional<int> AnswerVersionOrUsage(int argc, char** argv, std::string_view programName,
                                        const char* pszUsage);

}  // namespace tarvium
