// The name index is built on first use from every function group and never changes afterwards;
// results are cut to the size of the engine's result buffer here, once for all functions.
#include "script/call_function.h"

#include <unordered_map>

#include "platform/ansi_case.h"
#include "script/expression_functions.h"
#include "script/script_chars.h"

namespace tarvium {
namespace {

using FunctionIndex = std::unordered_map<std::string, FunctionBody>;

FunctionIndex BuildIndex() {
  FunctionIndex index;
  for (const auto& group : {TextFunctions(), MachineFunctions()})
    for (const ExpressionFunction& function : group)
      index.emplace(platform::AnsiUpper(function.name), function.call);
  return index;
}

FunctionBody FindFunction(std::string_view name) {
  static const FunctionIndex index = BuildIndex();
  const auto it = index.find(platform::AnsiUpper(name));
  return it == index.end() ? nullptr : it->second;
}

// The text inside the outer parentheses: after the first '(' up to the last ')'.
std::string_view InnerArguments(std::string_view argsWithParens) {
  const size_t nOpen = argsWithParens.find('(');
  if (nOpen == std::string_view::npos) return argsWithParens;
  argsWithParens.remove_prefix(nOpen + 1);
  const size_t nClose = argsWithParens.rfind(')');
  return nClose == std::string_view::npos ? argsWithParens : argsWithParens.substr(0, nClose);
}

}  // namespace

bool IsFunctionName(std::string_view name) {
  return FindFunction(name) != nullptr;
}

bool CallFunction(SetupRun& run, std::string_view name, std::string_view argsWithParens,
                  std::string& result) {
  const FunctionBody call = FindFunction(name);
  if (!call) return false;
  std::string value;
  call(run, InnerArguments(argsWithParens), value);
  if (value.size() > kFunctionResultMax) value.resize(kFunctionResultMax);
  result = std::move(value);
  return true;
}

bool EvaluateFunctionText(SetupRun& run, std::string_view text, std::string& result) {
  size_t nEnd = 0;
  while (nEnd < text.size() && IsAsciiAlnum(text[nEnd])) ++nEnd;
  size_t nOpen = nEnd;
  while (nOpen < text.size() && IsScriptBlank(text[nOpen])) ++nOpen;
  if (nEnd == 0 || nOpen >= text.size() || text[nOpen] != '(') return false;
  return CallFunction(run, text.substr(0, nEnd), text.substr(nOpen), result);
}

}  // namespace tarvium
