// The requirement lines (operands, function calls, comparisons) and the names of the installation
// media. The section's alternatives and the first failed line are the scenarios requirement-*.
#include <gtest/gtest.h>

#include "engine/variable_sections.h"
#include "install/installation_media.h"
#include "install/requirements.h"
#include "install_test_run.h"

namespace tarvium::test {
namespace {

TEST(Requirements, ComparisonsOperandsAndFaults) {
  InstallTestRun t("");
  SetVariable(t.run, "WinVer", "6.10");
  const std::vector<std::pair<const char*, bool>> cases = {
      {"%WinVer% >= 6.1", true},   // versions: 6.10 against 6.1
      {"%WinVer% >= 6.9", false},  // 10 is below 9 as text before format 14.10
      {"10 > 9", true},            // integers
      {"-3 < 2", true},
      {"abc == ABC", true},  // text without regard to case
      {"abc = abd", false},
      {"abc <> abd", true},
      {"abc != abc", false},
      {"\"a b\" == 'A B'", true},    // quotes group a token
      {"Len(abcd) == 4", true},      // a function call, attached
      {"Uppercase (x) == X", true},  // ... or after a blank
      {"Len(%WinVer%) <= 4", true},
      {"NoSuchFunc(x) == NoSuchFunc(x)", true},
      {"1 INGLOBALGROUP 1", false},  // not a requirement operator
      {"1 ~ 1", false},
  };
  for (const auto& [line, bHolds] : cases)
    EXPECT_EQ(RequirementHolds(t.run, line, line), bHolds) << line;
  EXPECT_TRUE(t.Messages().empty());
  for (const char* faulty : {"1 ==", "1", "  "})
    EXPECT_FALSE(RequirementHolds(t.run, faulty, faulty));
  EXPECT_EQ(t.Messages(), (std::vector<int>{5528, 5528, 5528}));
}

TEST(InstallationMedia, CabinetNamesAndLabels) {
  for (const auto& [cabTemplate, nMedium, name] :
       std::vector<std::tuple<std::string, uint32_t, std::string>>{
           {"Data00.cab", 1, "Data01.cab"},
           {"Data00.cab", 2, "Data02.cab"},
           {"Data00.cab", 123, "Data12.cab"},
           {"D0ta0.cab", 7, "D07a0.cab"},
           {"Data.cab", 3, "Data.cab"},
           {"Disk0", 4, "Disk4"}})
    EXPECT_EQ(CabinetName(cabTemplate, nMedium), name) << cabTemplate << " " << nMedium;

  InstallTestRun t("[Disks]\n1=Product CD %Label%\n2=\n");
  t.run.variables.Set("Src", "Z:\\media");
  SetVariable(t.run, "Label", "One");
  EXPECT_EQ(CabinetPath(t.run, 0), "Z:\\media\\Setup.cab");
  EXPECT_EQ(CabinetPath(t.run, 2), "");
  t.run.ctx.szCabTemplateName = "%Prefix%00.cab";
  SetVariable(t.run, "Prefix", "Data");
  EXPECT_EQ(CabinetPath(t.run, 2), "Z:\\media\\Data02.cab");
  EXPECT_EQ(MediumLabel(t.run, 0), "Product CD One");
  EXPECT_EQ(MediumLabel(t.run, 1), "Product CD One");
  EXPECT_EQ(MediumLabel(t.run, 2), "Installation media 2");
  EXPECT_EQ(MediumLabel(t.run, 3), "Installation media 3");
}

}  // namespace
}  // namespace tarvium::test
