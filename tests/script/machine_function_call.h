// Calls one of MachineFunctions() by name, as CallFunction does, for the tests of the groups.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "script/expression_functions.h"

namespace tarvium::test {

inline std::string CallMachineFunction(SetupRun& run, std::string_view name,
                                       std::string_view args) {
  for (const ExpressionFunction& function : MachineFunctions()) {
    if (platform::AnsiEqualNoCase(function.name, name)) {
      std::string result = "untouched";
      function.call(run, args, result);
      return result;
    }
  }
  ADD_FAILURE() << "no machine function " << name;
  return "";
}

}  // namespace tarvium::test
