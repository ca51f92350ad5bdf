// The table of expression functions ("Left(%Name%,3)", "DoesFileExist(C:\x.txt)"). Each function
// gets the text between its parentheses, splits it with NextArgument and writes its result text.
// The functions are kept in groups, one file each; CallFunction looks a name up across all groups
// without regard to case.
#pragma once
#include <span>
#include <string>
#include <string_view>

namespace tarvium {

struct SetupRun;

using FunctionBody = void (*)(SetupRun& run, std::string_view args, std::string& result);

struct ExpressionFunction {
  std::string_view name;
  FunctionBody call;
};

// The result of a function that answers yes or no.
inline const char* TruthText(bool bValue) {
  return bValue ? "1" : "0";
}

// Text, number and variable functions: Left, Mid, Len, BitAnd, StringToHex, Tokenize, ...
std::span<const ExpressionFunction> TextFunctions();
// Functions that ask the machine: files, processes, registry, .NET, network, clipboard, XML.
std::span<const ExpressionFunction> MachineFunctions();

}  // namespace tarvium
