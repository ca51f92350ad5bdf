// The counter commands of a script through the real counter update: a line met in the install
// pass and again, unmarked, in the removal pass restores the value; Divide by 0 keeps it.
#include <gtest/gtest.h>

#include "engine/replace_variables.h"
#include "engine/variable_sections.h"
#include "install/install_test_run.h"
#include "script/execute_cmd.h"
#include "sysconfig/system_configuration.h"

namespace tarvium::test {
namespace {

TEST(CounterCommands, IncrementBothWaysAndDivideByZero) {
  InstallTestRun t("");
  AttachSystemConfiguration(t.run);
  SetVariable(t.run, "N", "5");
  const auto line = [&](const std::string& text, bool bRemoval) {
    t.run.ctx.bUninstall = bRemoval;
    const int nResult = ExecuteCmd(t.run, text, {}, false, true, nullptr);
    t.run.ctx.bUninstall = false;
    return nResult;
  };
  struct Case {
    const char* line;
    bool bRemoval;
    const char* value;
  };
  for (const Case& c :
       {Case{"Increment %N%", false, "6"}, Case{"Increment %N%", true, "5"},
        Case{"-Increment %N%", false, "5"}, Case{"-Increment %N%", true, "6"},
        Case{"Divide(%N%,0)", false, "6"}, Case{"Multiply %N%,4", false, "24"},
        Case{"Multiply %N%,4", true, "6"}, Case{"Decrement (%N%, 2)", false, "4"}}) {
    EXPECT_EQ(line(c.line, c.bRemoval), 1) << c.line;
    EXPECT_EQ(LookupVariable(t.run, "N"), c.value) << c.line << (c.bRemoval ? " (removal)" : "");
  }
}

}  // namespace
}  // namespace tarvium::test
