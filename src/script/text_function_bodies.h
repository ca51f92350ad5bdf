// The bodies of the text, number and variable functions, kept in a few files by kind and listed
// together in TextFunctions() (text_functions.cpp). Each gets the text between the parentheses.
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

struct SetupRun;

void HexToStringFunction(SetupRun& run, std::string_view args, std::string& result);
void StringToHexFunction(SetupRun& run, std::string_view args, std::string& result);
void TokenizeFunction(SetupRun& run, std::string_view args, std::string& result);
void ReadTextFileFunction(SetupRun& run, std::string_view args, std::string& result);

}  // namespace tarvium
