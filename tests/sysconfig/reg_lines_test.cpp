// Registry lines and sections on a real machine: adding, the inverted uninstall pass with its
// pruning, delete lines in both passes, append and its removal, noClobber, the root rules of
// workstation and user setups, failures with and without WarnRegistry, and whole sections.
// The registry line parser on its own: both forms, every type, the numbers, the byte and string
// lists, the "::" names and the lines that are no registry lines.
// The counter update: the three kinds of target, the direction rule in both passes, division's
// rounding and zero, 32-bit wrap-around, and a repair that writes no registry or INI file; and the
// counter commands of a script through it: a line met in the install pass and again, unmarked, in
// the removal pass restores the value; Divide by 0 keeps it.
#include <gtest/gtest.h>

#include <optional>

#include "engine/replace_variables.h"
#include "engine/variable_sections.h"
#include "install/copy_flags.h"
#include "install/install_test_run.h"
#include "install/process_section.h"
#include "script/execute_cmd.h"
#include "support/answering_ui.h"
#include "support/cancelling_ui.h"
#include "sysconfig/reg_line.h"
#include "sysconfig/reg_lines.h"
#include "sysconfig/system_configuration.h"
#include "sysconfig/update_counter.h"

namespace tarvium::test {
namespace {

using platform::RegRoot;
using Bytes = std::vector<uint8_t>;

class RegRun : public InstallTestRun {
 public:
  explicit RegRun(std::string_view infText = "") : InstallTestRun(infText) {
    AttachSystemConfiguration(run);
  }
  std::optional<platform::RegValue> Value(const std::string& key, const std::string& name,
                                          RegRoot root = RegRoot::LocalMachine) {
    platform::RegValue value;
    if (machine.Machine().Reg().QueryValue(root, key, name, value) != 0) return std::nullopt;
    return value;
  }
  // The value's bytes, "<missing>" when it cannot be read.
  Bytes Data(const std::string& key, const std::string& name,
             RegRoot root = RegRoot::LocalMachine) {
    const std::optional<platform::RegValue> value = Value(key, name, root);
    const std::string_view missing = "<missing>";
    return value ? value->data : Bytes(missing.begin(), missing.end());
  }
  bool HasKey(const std::string& key, RegRoot root = RegRoot::LocalMachine) {
    return machine.HasRegKey(root, key);
  }
  void Apply(std::initializer_list<const char*> lines) {
    for (const char* line : lines) ASSERT_TRUE(HandleRegLine(run, line, 0)) << line;
  }
};

Bytes Text(std::string_view text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

TEST(RegLines, AddedLinesAreRemovedByTheUninstallPassWithEmptiedKeys) {
  RegRun t;
  const std::initializer_list<const char*> lines = {
      R"(HKLM\Software\Vendor\App\Deep\Er:D=dword:10)",
      R"(HKLM\Software\Vendor\App:Kept=x)",
      R"(HKLM\Software\Vendor\App\Sub=default text)",
      R"(HKLM\Software\Vendor\App\Empty)",
      R"(HKCR\.tvx\Shell::Open=1)",
      "HKLM,Software\\Vendor\\App\\Only,,0x10,ignored",
  };
  t.Apply(lines);
  EXPECT_EQ(t.Data("Software\\Vendor\\App\\Deep\\Er", "D"), (Bytes{0x10, 0, 0, 0}));
  EXPECT_EQ(t.Data("Software\\Vendor\\App\\Sub", ""), Text("default text"));
  EXPECT_EQ(t.Data("Software\\Vendor\\App\\Empty", ""), Text(""));
  EXPECT_EQ(t.Data(".tvx\\Shell:", "Open", RegRoot::ClassesRoot), Text("1"));
  EXPECT_TRUE(t.HasKey("Software\\Vendor\\App\\Only"));
  EXPECT_FALSE(t.Value("Software\\Vendor\\App\\Only", ""));

  // The pass that removes the section, without the line that wrote "Kept".
  t.machine.SetRegString(RegRoot::LocalMachine, "Software\\Vendor\\App\\Sub", "Own", "user data");
  t.machine.SetRegString(RegRoot::LocalMachine, "Software\\Vendor\\App\\Deep", "Own", "user data");
  t.run.ctx.bUninstall = true;
  for (const char* line : lines) {
    if (std::string_view(line).find("Kept") != std::string_view::npos) continue;
    ASSERT_TRUE(HandleRegLine(t.run, line, 0)) << line;
  }
  EXPECT_FALSE(t.HasKey("Software\\Vendor\\App\\Deep\\Er"));
  EXPECT_EQ(t.Data("Software\\Vendor\\App\\Deep", "Own"), Text("user data"));  // pruning stops
  EXPECT_FALSE(t.HasKey("Software\\Vendor\\App\\Empty"));
  EXPECT_FALSE(t.HasKey("Software\\Vendor\\App\\Only"));
  EXPECT_FALSE(t.HasKey(".tvx", RegRoot::ClassesRoot));
  // A key line removes a key without subkeys even when it holds other values.
  EXPECT_FALSE(t.HasKey("Software\\Vendor\\App\\Sub"));
  EXPECT_TRUE(t.Value("Software\\Vendor\\App", "Kept"));  // a parent holding a value stays
}

TEST(RegLines, DeleteLinesInBothPassesAndKeyLinesOfTheUninstallPass) {
  RegRun t;
  t.Apply({R"(HKLM\Software\T\A\B:V=1)", R"(HKLM\Software\T\A:V=1)", R"(HKLM\Software\T:W=1)"});
  t.Apply({R"(-HKLM\Software\T:W)", R"(-HKLM\Software\Absent:W)"});
  EXPECT_FALSE(t.Value("Software\\T", "W"));
  t.run.ctx.bUninstall = true;  // delete lines are not undone, nor done again
  t.Apply({R"(-HKLM\Software\T\A)", "HKLM,Software\\T\\A\\B,V,4,1"});
  EXPECT_TRUE(t.Value("Software\\T\\A\\B", "V"));
  // A key line of the uninstall pass: with subkeys only the default value goes.
  t.Apply({R"(HKLM\Software\T\A=default)"});
  t.run.ctx.bUninstall = false;
  t.Apply({R"(HKLM\Software\T\A=default)"});
  t.run.ctx.bUninstall = true;
  t.Apply({R"(HKLM\Software\T\A=default)"});
  EXPECT_FALSE(t.Value("Software\\T\\A", ""));
  EXPECT_TRUE(t.Value("Software\\T\\A", "V"));
  t.run.ctx.bUninstall = false;
  t.Apply({R"(-HKLM\Software\T\A)", "HKLM,Software\\T,W,4,1"});  // the whole tree goes
  EXPECT_FALSE(t.HasKey("Software\\T\\A"));
  EXPECT_TRUE(t.HasKey("Software\\T"));
}

TEST(RegLines, AppendAndItsRemovalAndNoClobber) {
  RegRun t;
  const std::string key = "Software\\T";
  t.machine.SetRegString(RegRoot::LocalMachine, key, "S", "a;");
  const char* appendS = "HKLM,Software\\T,S,0x8,x";
  const char* appendOnly = "HKLM,Software\\T,O,0x8,x";
  const char* appendM = "HKLM,Software\\T,M,0x10008,b";
  const char* appendB = "HKLM,Software\\T,B,0x9,02,03";
  const char* appendH = "HKLM,Software\\T,H,0x10000009,41,42";  // text from bytes: bytes
  t.Apply({appendS, appendOnly, appendM, R"(HKLM\Software\T:M=multisz:a)", appendM,
           R"(HKLM\Software\T:B=hex:01)", appendB, appendB, R"(HKLM\Software\T:H=a)", appendH});
  EXPECT_EQ(t.Data(key, "S"), Text("a;x"));
  EXPECT_EQ(t.Data(key, "H"), (Bytes{'a', 0, 'A', 'B'}));
  EXPECT_EQ(t.Data(key, "M"), (Bytes{'a', 0, 'b', 0, 0}));
  EXPECT_EQ(t.Data(key, "B"), (Bytes{1, 2, 3, 2, 3}));  // appending twice appends twice

  const char* keepN = "HKLM,Software\\T,N,0x2,new";
  t.Apply({R"(HKLM\Software\T:N=old)", keepN, "HKLM,Software\\T,F,0x2,first"});
  EXPECT_EQ(t.Data(key, "N"), Text("old"));
  EXPECT_EQ(t.Data(key, "F"), Text("first"));

  t.run.ctx.bUninstall = true;
  t.Apply({appendS, appendOnly, appendM, appendB, appendH, keepN, "HKLM,Software\\T,F,0x2,first"});
  EXPECT_EQ(t.Data(key, "S"), Text("a;"));
  EXPECT_EQ(t.Data(key, "H"), Text("a"));
  EXPECT_EQ(t.Data(key, "O"), Text(""));  // only the appended text: an empty string stays
  EXPECT_EQ(t.Data(key, "M"), (Bytes{'a', 0, 0}));
  EXPECT_EQ(t.Data(key, "B"), (Bytes{1, 2, 3}));
  EXPECT_TRUE(t.Value(key, "N"));   // noClobber: another value is not ours to delete
  EXPECT_FALSE(t.Value(key, "F"));  // the same bytes are
}

TEST(RegLines, RootsOfWorkstationAndUserSetupsAndKeysBelowVolatileOnes) {
  RegRun t;
  t.run.ctx.bWorkstationSetup = true;
  t.Apply({R"(HKCU\Software\T:U=1)", R"(HKLM\Software\T:M=1)"});
  EXPECT_FALSE(t.Value("Software\\T", "U", RegRoot::CurrentUser));
  EXPECT_TRUE(t.Value("Software\\T", "M"));
  t.run.ctx.bWorkstationSetup = false;
  t.run.ctx.dwRunFlags = kRunFlagMachinePart;  // /X2: any run leaves the user's root alone
  t.Apply({R"(HKCU\Software\T:X=1)", R"(HKLM\Software\T:MX=1)"});
  EXPECT_FALSE(t.Value("Software\\T", "X", RegRoot::CurrentUser));
  EXPECT_TRUE(t.Value("Software\\T", "MX"));
  t.run.ctx.dwRunFlags = 0;
  t.run.ctx.bUserPartRun = true;
  t.Apply({R"(HKCU\Software\T:U=1)", R"(HKLM\Software\T:M2=1)"});
  EXPECT_TRUE(HandleRegLine(t.run, R"(HKLM\Software\T:C=1)", 0x400000));
  EXPECT_TRUE(t.Value("Software\\T", "U", RegRoot::CurrentUser));
  EXPECT_FALSE(t.Value("Software\\T", "M2"));
  EXPECT_TRUE(t.Value("Software\\T", "C"));

  // A key below a volatile key is created volatile.
  t.run.ctx.bUserPartRun = false;
  ASSERT_EQ(t.machine.Machine().Reg().CreateKey(RegRoot::LocalMachine, "Software\\Vol", true), 0u);
  EXPECT_TRUE(HandleRegLine(t.run, R"(HKLM\Software\Vol\Child:V=1)", 0));
  EXPECT_EQ(t.Data("Software\\Vol\\Child", "V"), Text("1"));
  EXPECT_TRUE(t.Messages().empty());
}

TEST(RegLines, RefusedWritesAskWithWarnRegistryAndPassOverWithout) {
  RegRun t;
  t.run.ctx.bSilent = false;
  t.run.ui = std::make_unique<test::AnsweringUserInterface>(kResultIgnore);
  t.machine.Machine().SqlRegistry().RefuseWrites(true);
  EXPECT_TRUE(HandleRegLine(t.run, R"(HKLM\Software\T:V=1)", 0));
  t.run.ui = std::make_unique<test::AnsweringUserInterface>(kResultOk);
  EXPECT_FALSE(HandleRegLine(t.run, R"(HKLM\Software\T)", 0));
  EXPECT_EQ(t.Messages(), (std::vector<int>{5518, 5518}));
  ASSERT_EQ(t.run.shownMessages[1].args.size(), 2u);
  EXPECT_EQ(std::get<std::string>(t.run.shownMessages[1].args[0]), "Software\\T");
  EXPECT_EQ(std::get<int64_t>(t.run.shownMessages[1].args[1]), 5);

  // Without WarnRegistry the line is passed over: the scenario reg-refused-write-warn-off.
  t.run.ctx.bUninstall = true;  // the uninstall pass reports nothing
  EXPECT_TRUE(HandleRegLine(t.run, R"(HKLM\Software\Vendor:V=1)", 0));
  EXPECT_TRUE(HandleRegLine(t.run, R"(HKPD\Counter:V=1)", 0));
  EXPECT_EQ(t.Messages().size(), 2u);
  t.machine.Machine().SqlRegistry().RefuseWrites(false);
}

constexpr const char* kSections =
    "[Keys.reg]\nHKLM\\Software\\S:A=1\nHKLM\\Software\\S:B=2\n"
    "HKLM\\Software\\S:C=3\n"
    "[Cleanup.reg]\n-HKLM\\Software\\S:A\n";

TEST(RegSections, OrderDeleteSectionsMissingSectionsAndCancel) {
  RegRun t(kSections);
  std::vector<int32_t> traced;
  t.run.script.traceLine = [&](SetupRun&, const std::string&, int32_t nLine, const std::string&) {
    traced.push_back(nLine);
  };
  ASSERT_TRUE(HandleRegSection(t.run, "Keys.reg", 0));
  EXPECT_EQ(traced, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_FALSE(HandleRegSection(t.run, "Missing.reg", 0));
  EXPECT_EQ(t.Messages(), (std::vector<int>{5529}));

  t.run.ctx.bUninstall = true;
  traced.clear();
  ASSERT_TRUE(HandleRegSection(t.run, "Cleanup.reg", COPY_DELETE));  // applied as written
  EXPECT_FALSE(t.Value("Software\\S", "A"));
  EXPECT_TRUE(t.run.ctx.bUninstall);
  t.run.ctx.bSilent = false;
  t.run.ui = std::make_unique<CancellingUserInterface>(1);
  EXPECT_FALSE(HandleRegSection(t.run, "Keys.reg", 0));  // backwards, stopped after one line
  EXPECT_EQ(traced, (std::vector<int32_t>{1, 3}));
  EXPECT_FALSE(t.Value("Software\\S", "C"));
  EXPECT_TRUE(t.Value("Software\\S", "B"));
}

TEST(RegSections, TheInstallPassDispatchesRegistrySections) {
  RegRun t(
      "[Options]\nA=A,DEFAULT\n[A]\n#Keys.reg\n#Reg:More\n[Reg:More]\nHKLM\\Software\\S:M=1\n" +
      std::string(kSections));
  SectionCall call;
  call.section = "A";
  ASSERT_TRUE(ProcessSection(t.run, call));
  EXPECT_TRUE(t.Value("Software\\S", "C"));
  EXPECT_TRUE(t.Value("Software\\S", "M"));
}

const SubstituteVariables kNoVariables = [](std::string&) {};

RegLine Parse(const std::string& text) {
  RegLine reg;
  EXPECT_TRUE(ParseRegLine(text, kNoVariables, reg)) << text;
  return reg;
}

// The rows of every type that the scenario reg-section-install writes are read there.
TEST(RegLineParser, TypesAndDataOfBothForms) {
  struct Case {
    const char* line;
    uint32_t dwType;
    Bytes data;
  };
  const Case cases[] = {
      {R"(HKLM\Software\T:D=DWORD: 0x1f)", platform::REG_DWORD, {0x1f, 0, 0, 0}},
      {"HKLM,Software\\T,C,0x00010001,0x10", platform::REG_DWORD, {0x10, 0, 0, 0}},
      {"HKLM,Software\\T,C,65537,4294967295", platform::REG_DWORD, {0xff, 0xff, 0xff, 0xff}},
      {"HKLM,Software\\T,Q,0x00040001,256", platform::REG_QWORD, {0, 1, 0, 0, 0, 0, 0, 0}},
      {R"(HKLM\Software\T:B=hexsz:01,'ab',02)", platform::REG_SZ, {1, 'a', 'b', 2}},
      {R"(HKLM\Software\T:H=hexsz:41,42,00)", platform::REG_SZ, {'A', 'B', 0}},
      {"HKLM,Software\\T,B,0x10000001,41,\"b\"\"c\"", platform::REG_SZ, {'A', 'b', '"', 'c'}},
      {"HKLM,Software\\T,B,1,01, 'x',zz", platform::REG_BINARY, {1, 0, 0}},
      {"HKLM,Software\\T,N,0x00020001,01,02,03", platform::REG_NONE, {1, 2, 3}},
      {"HKLM,Software\\T,B,0x80001,7", platform::REG_BINARY, {7}},
      {"HKLM,Software\\T,M,0x00010000,a\tb,c", platform::REG_MULTI_SZ, {'a', 0, 'b', 0, 'c', 0, 0}},
      {"HKLM,Software\\T,E,0x00020000, %Path%", platform::REG_EXPAND_SZ, Text("%Path%")},
      {R"(HKLM\Software\T:S= "quoted", kept)", platform::REG_SZ, Text("\"quoted\", kept")},
      {"HKLM,Software\\T,S,0,\"a, b\",ignored", platform::REG_SZ, Text("a, b")},
      {"HKLM,Software\\T,S,0x80040", platform::REG_SZ, Text("")},
  };
  for (const Case& c : cases) {
    const RegLine reg = Parse(c.line);
    EXPECT_EQ(reg.dwType, c.dwType) << c.line;
    EXPECT_EQ(reg.data, c.data) << c.line;
  }
}

TEST(RegLineParser, KeysValueNamesAndFlags) {
  struct Case {
    const char* line;
    RegRoot root;
    const char* keyPath;
    const char* valueName;
    bool bCommaForm;
  };
  const Case cases[] = {
      {R"(HKLM\Software\T  =default)", RegRoot::LocalMachine, "Software\\T", "", false},
      {R"(hkey_current_user\Software\T)", RegRoot::CurrentUser, "Software\\T", "", false},
      {R"(HKCR\.ext\A::Name=x)", RegRoot::ClassesRoot, ".ext\\A:", "Name", false},
      {R"(HKCC\Software\T:Name:More=x)", RegRoot::CurrentConfig, "Software\\T", "Name:More", false},
      {R"(HKU\.DEFAULT\T:=x)", RegRoot::Users, ".DEFAULT\\T", "", false},
      {"HKEY_LOCAL_MACHINE, Software\\T  ,'N,1',0", RegRoot::LocalMachine, "Software\\T", "N,1",
       true},
  };
  for (const Case& c : cases) {
    const RegLine reg = Parse(c.line);
    EXPECT_EQ(reg.root, c.root) << c.line;
    EXPECT_EQ(reg.keyPath, c.keyPath) << c.line;
    EXPECT_EQ(reg.valueName, c.valueName) << c.line;
    EXPECT_EQ(reg.commaForm, c.bCommaForm) << c.line;
  }
  const RegLine flags = Parse("HKLM,K,N,0x1E,v");
  EXPECT_TRUE(flags.noClobber && flags.isDelete && flags.append && flags.keyOnly);
  EXPECT_TRUE(Parse(R"(HKPD\Counter:N=1)").bRootMissing);

  RegLine skipped;
  for (const char* line :
       {"Caption=Writing the keys", "HKXX\\Software\\T:N=1", "Nothing,here", "Software\\T"})
    EXPECT_FALSE(ParseRegLine(line, kNoVariables, skipped)) << line;
}

TEST(RegLineParser, VariablesAreSubstitutedInKeyNameAndValue) {
  RegLine reg;
  const SubstituteVariables substitute = [](std::string& text) {
    for (size_t n; (n = text.find("%V%")) != std::string::npos;) text.replace(n, 3, "Sub");
  };
  ASSERT_TRUE(ParseRegLine(R"(HKLM\Software\%V%:%V%Name=expandsz:%V%)", substitute, reg));
  EXPECT_EQ(reg.keyPath, "Software\\Sub");
  EXPECT_EQ(reg.valueName, "SubName");
  EXPECT_EQ(reg.valueText, "Sub");
  EXPECT_EQ(reg.dwType, platform::REG_EXPAND_SZ);
  // The type is read after substitution, so a variable can hold the prefix.
  const SubstituteVariables prefix = [](std::string& text) {
    if (text.starts_with("%T%")) text.replace(0, 3, "dword: ");
  };
  ASSERT_TRUE(ParseRegLine(R"(HKLM\Software\T:D=%T%1f)", prefix, reg));
  EXPECT_EQ(reg.dwType, platform::REG_DWORD);
  EXPECT_EQ(reg.data, (Bytes{0x1f, 0, 0, 0}));
  ASSERT_TRUE(ParseRegLine("HKLM,%V%,%V%,0,%V%", substitute, reg));
  EXPECT_EQ(reg.keyPath + reg.valueName + reg.valueText, "SubSubSub");
}

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
  RegRun t;
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
