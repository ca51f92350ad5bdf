// The text and number functions (Left, Mid, Len, BitAnd, ...) and the table of all functions of
// this group. Counts that are negative count as 0; counts beyond the text are cut to its end.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "platform/ansi_case.h"
#include "script/expression_functions.h"
#include "script/function_arguments.h"
#include "script/text_function_bodies.h"

namespace tarvium {
namespace {

size_t CountArgument(const FunctionArguments& args, size_t nIndex) {
  const int32_t n = args.Number(nIndex);
  return n < 0 ? 0 : static_cast<size_t>(n);
}

void LeftFunction(SetupRun&, std::string_view text, std::string& result) {
  const FunctionArguments args(text, 2);
  result = args.Text(0).substr(0, CountArgument(args, 1));
}

void RightFunction(SetupRun&, std::string_view text, std::string& result) {
  const FunctionArguments args(text, 2);
  const std::string& value = args.Text(0);
  const size_t n = std::min(CountArgument(args, 1), value.size());
  result = value.substr(value.size() - n);
}

void MidFunction(SetupRun&, std::string_view text, std::string& result) {
  const FunctionArguments args(text, 3);
  const std::string& value = args.Text(0);
  const size_t nStart = std::min(CountArgument(args, 1), value.size());
  result = value.substr(nStart, CountArgument(args, 2));
}

void RemoveFromLeftFunction(SetupRun&, std::string_view text, std::string& result) {
  const FunctionArguments args(text, 2);
  const std::string& value = args.Text(0);
  result = value.substr(std::min(CountArgument(args, 1), value.size()));
}

void RemoveFromRightFunction(SetupRun&, std::string_view text, std::string& result) {
  const FunctionArguments args(text, 2);
  const std::string& value = args.Text(0);
  result = value.substr(0, value.size() - std::min(CountArgument(args, 1), value.size()));
}

void LenFunction(SetupRun&, std::string_view text, std::string& result) {
  result = std::to_string(FunctionArguments(text, 1).Text(0).size());
}

void LowercaseFunction(SetupRun&, std::string_view text, std::string& result) {
  result = platform::AnsiLower(FunctionArguments(text, 1).Text(0));
}

void UppercaseFunction(SetupRun&, std::string_view text, std::string& result) {
  result = platform::AnsiUpper(FunctionArguments(text, 1).Text(0));
}

template <uint32_t (*Combine)(uint32_t, uint32_t)>
void BitFunction(SetupRun&, std::string_view text, std::string& result) {
  const FunctionArguments args(text, 2);
  const uint32_t nBits =
      Combine(static_cast<uint32_t>(args.Number(0)), static_cast<uint32_t>(args.Number(1)));
  result = std::to_string(static_cast<int32_t>(nBits));
}

uint32_t And(uint32_t a, uint32_t b) {
  return a & b;
}
uint32_t Or(uint32_t a, uint32_t b) {
  return a | b;
}
uint32_t XOr(uint32_t a, uint32_t b) {
  return a ^ b;
}

constexpr std::array<ExpressionFunction, 15> kTextFunctions = {{
    {"BitAnd", BitFunction<And>},
    {"BitOr", BitFunction<Or>},
    {"BitXOr", BitFunction<XOr>},
    {"HexToString", HexToStringFunction},
    {"StringToHex", StringToHexFunction},
    {"Left", LeftFunction},
    {"Right", RightFunction},
    {"Mid", MidFunction},
    {"RemoveFromLeft", RemoveFromLeftFunction},
    {"RemoveFromRight", RemoveFromRightFunction},
    {"Len", LenFunction},
    {"Lowercase", LowercaseFunction},
    {"Uppercase", UppercaseFunction},
    {"Tokenize", TokenizeFunction},
    {"ReadTextFile", ReadTextFileFunction},
}};

}  // namespace

std::span<const ExpressionFunction> TextFunctions() {
  return kTextFunctions;
}

}  // namespace tarvium
