// The counter update: the three kinds of target, the direction rule in both passes, division's
// rounding and zero, 32-bit wrap-around, and a repair that writes no registry or INI file; and the
// counter commands of a script through it: a line met in the install pass and again, unmarked, in
// the removal pass restores the value; Divide by 0 keeps it.
#include <gtest/gtest.h>

#include "engine/replace_variables.h"
#include "engine/variable_sections.h"
#include "install/install_test_run.h"
#include "script/execute_cmd.h"
#include "sysconfig/system_configuration.h"
#include "sysconfig/update_counter.h"

namespace tarvium::test {
namespace {

using platform::RegRoot;

uint32_t Dword(InstallTestRun& t, const std::string& key, const std::string& name) {
  platform::RegValue value;
  if (t.machine.Machine().Reg().QueryValue(RegRoot::LocalMachine, key, name, value) != 0 ||
      value.dwType != platform::REG_DWORD || value.data.size() != 4)
    return 0xDEADBEEF;
  return value.data[0] | value.data[1] << 8 | value.data[2] << 16 | uint32_t{value.data[3]} << 24;
}

TEST(UpdateCounter, DirectionRuleAndArithmeticOnAVariable) {
  struct Case {
    const char* start;
    const char* args;
    bool bIncrease, bMultiplicative, bKeepDirection, bUninstall;
    const char* result;
  };
  const Case cases[] = {
      {"5", "(%Dest%)", true, false, false, false, "6"},
      {"5", "(%Dest%, 3)", true, false, false, true, "2"},    // an increment undone
      {"5", "(%Dest%, 3)", true, false, true, true, "8"},     // unless it keeps its direction
      {"5", " %Dest%,-2", false, false, false, false, "7"},   // decrement: minus the amount
      {"5", "(%Dest%,2)", false, false, false, true, "7"},    // a decrement undone adds
      {"-7", "(%Dest%,2)", false, true, false, false, "-3"},  // divide truncates toward zero
      {"7", "(%Dest%,0)", false, true, false, false, "7"},    // by 0 counts as by 1
      {"7", "(%Dest%,3)", true, true, false, false, "21"},
      {"21", "(%Dest%,3)", true, true, false, true, "7"},  // a multiplication undone
      {"2147483647", "(%Dest%)", true, false, false, false, "-2147483648"},
      {"x", "(%Dest%,4)", true, false, false, false, "4"},
  };
  InstallTestRun t("");
  for (const Case& c : cases) {
    SetVariable(t.run, "Dest", c.start);
    t.run.ctx.bUninstall = c.bUninstall;
    ASSERT_TRUE(UpdateCounter(t.run, std::string("Increment") + c.args, c.bIncrease,
                              c.bMultiplicative, c.bKeepDirection))
        << c.args;
    std::string result = "%Dest%";
    ReplaceVariables(t.run, result);
    EXPECT_EQ(result, c.result) << c.start << c.args;
    EXPECT_EQ(t.run.ctx.bUninstall, c.bUninstall);
  }
  EXPECT_FALSE(UpdateCounter(t.run, "Increment", true, false, false));
}

TEST(UpdateCounter, RegistryAndIniTargetsAndTheRepairRun) {
  InstallTestRun t("");
  const std::string ini = "C:\\Windows\\counter.ini";
  // A target with commas is quoted, as the field reader reads it.
  const char* regArgs = "(\"%HKLM,Software\\Counter,Uses%\", 2)";
  const std::string iniArgs = "('%" + ini + ",Counts,Uses%', 5)";
  ASSERT_TRUE(UpdateCounter(t.run, std::string("Increment") + regArgs, true, false, false));
  ASSERT_TRUE(UpdateCounter(t.run, "Increment" + iniArgs, true, false, false));
  ASSERT_TRUE(UpdateCounter(t.run, std::string("Increment") + regArgs, true, false, false));
  EXPECT_EQ(Dword(t, "Software\\Counter", "Uses"), 4u);
  EXPECT_EQ(t.machine.Machine().Profiles().GetPrivateProfileString("Counts", "Uses", "", ini), "5");

  t.run.ctx.bUninstall = true;  // undone: the value is written, not deleted
  ASSERT_TRUE(UpdateCounter(t.run, std::string("Increment") + regArgs, true, false, false));
  EXPECT_EQ(Dword(t, "Software\\Counter", "Uses"), 2u);

  // A counter below zero is stored as its 32-bit pattern and counts on from there.
  t.run.ctx.bUninstall = false;
  const char* minusArgs = "(\"%HKLM,Software\\Counter,Minus%\", 1)";
  ASSERT_TRUE(UpdateCounter(t.run, std::string("Decrement") + minusArgs, false, false, false));
  EXPECT_EQ(Dword(t, "Software\\Counter", "Minus"), 0xFFFFFFFFu);
  ASSERT_TRUE(UpdateCounter(t.run, std::string("Decrement") + minusArgs, false, false, false));
  EXPECT_EQ(Dword(t, "Software\\Counter", "Minus"), 0xFFFFFFFEu);

  t.run.ctx.bRepair = true;
  ASSERT_TRUE(UpdateCounter(t.run, std::string("Increment") + regArgs, true, false, false));
  ASSERT_TRUE(UpdateCounter(t.run, "Increment" + iniArgs, true, false, false));
  EXPECT_EQ(Dword(t, "Software\\Counter", "Uses"), 2u);
  EXPECT_EQ(t.machine.Machine().Profiles().GetPrivateProfileString("Counts", "Uses", "", ini), "5");
}

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
