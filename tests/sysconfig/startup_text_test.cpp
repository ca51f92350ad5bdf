// The batch and config.sys editors: PATH merges in front and at the end and their exact removal,
// a directory already in the list, SET lines created and deleted, command lines applied once,
// driver lines replaced with their own keyword, '+' lines beside existing ones.
#include <gtest/gtest.h>

#include "sysconfig/batch_text.h"
#include "sysconfig/config_text.h"

namespace tarvium {
namespace {

TEST(EditBatText, AppliesLinesAndUndoesThemExactly) {
  struct Case {
    const char* text;
    const char* line;
    bool bUninstall;
    const char* expected;
  };
  const Case cases[] = {
      // PATH: in front by default and with '<', at the end with '>', kept when contained.
      {"PATH C:\\A;C:\\B\r\n", "PATH <C:\\New", false, "PATH C:\\New;C:\\A;C:\\B\r\n"},
      {"PATH C:\\A;C:\\B\r\n", "PATH C:\\New", false, "PATH C:\\New;C:\\A;C:\\B\r\n"},
      {"PATH=C:\\A\n", "PATH >C:\\New", false, "PATH=C:\\A;C:\\New\n"},
      {"SET PATH=C:\\A\r\n", "PATH <C:\\New", false, "SET PATH=C:\\New;C:\\A\r\n"},
      {"PATH C:\\A;C:\\BIN\r\n", "PATH <c:\\bin", false, "PATH C:\\A;C:\\BIN\r\n"},
      {"ECHO OFF\r\n", "PATH <C:\\New", false, "ECHO OFF\r\nPATH C:\\New\r\n"},
      {"PATH\r\n", "PATH <C:\\New", false, "PATH C:\\New\r\n"},
      // The uninstall pass removes exactly the item; the others stay in order.
      {"PATH C:\\New;C:\\A;C:\\B\r\n", "PATH <C:\\New", true, "PATH C:\\A;C:\\B\r\n"},
      {"PATH C:\\A;c:\\new;C:\\B", "PATH >C:\\New", true, "PATH C:\\A;C:\\B"},
      {"PATH C:\\New\r\nECHO\r\n", "PATH C:\\New", true, "ECHO\r\n"},
      {"PATH C:\\NewDir;C:\\A\r\n", "PATH C:\\New", true, "PATH C:\\NewDir;C:\\A\r\n"},
      // SET: created, replaced by variable, deleted; a delete line in an uninstall does nothing.
      {"", "SET TOOLS=C:\\Tools", false, "SET TOOLS=C:\\Tools\r\n"},
      {"set tools=old\r\nREM x\r\n", "SET TOOLS=new", false, "SET TOOLS=new\r\nREM x\r\n"},
      {"SET TOOLS=C:\\Tools\r\n", "SET TOOLS=C:\\Tools", true, ""},
      {"SET TOOLS=x\r\n", "-SET TOOLS=x", false, ""},
      {"SET TOOLS=x\r\n", "-SET TOOLS=x", true, "SET TOOLS=x\r\n"},
      // SET without '=' names its variable; SET without a name is a command.
      {"SET TOOLS=x\r\nWIN\r\n", "-SET TOOLS", false, "WIN\r\n"},
      {"SET TOOLS=x\r\n", "SET  TOOLS", true, ""},
      {"SET PATH=C:\\A\r\n", "-SET PATH", false, "SET PATH=C:\\A\r\n"},
      {"SET PATH\r\n", "PATH <C:\\New", false, "SET PATH=C:\\New\r\n"},
      {"", "SET PATH", false, "SET PATH\r\n"},
      {"SET TOOLS=x\r\n", "SET =y", false, "SET TOOLS=x\r\nSET =y\r\n"},
      // Commands: compared word by word, appended once, lines with bare CR kept as they are.
      {"@ECHO OFF\rWIN\r", "c:\\app\\start.exe /q", false,
       "@ECHO OFF\rWIN\rc:\\app\\start.exe /q\r\n"},
      {"C:\\APP\\START.EXE   /Q\r\n", "c:\\app\\start.exe /q", false, "c:\\app\\start.exe /q\r\n"},
      {"c:\\app\\start.exe /q\r\nWIN\r\n", "c:\\app\\start.exe /q", true, "WIN\r\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(EditBatText(c.text, c.line, c.bUninstall), c.expected) << c.line << " on " << c.text;
  const std::string once = EditBatText("WIN\r\n", "NET START", false);
  EXPECT_EQ(EditBatText(once, "NET START", false), once);
}

TEST(EditConfigText, SetsAddsAndDeletesParameters) {
  struct Case {
    const char* text;
    const char* name;
    const char* value;  // null: none
    ConfigEdit mode;
    const char* expected;
  };
  const char* const sys =
      "FILES=30\r\nDEVICEHIGH=C:\\DOS\\EMM386.EXE RAM\r\nDEVICE=C:\\HIMEM.SYS\r\n";
  const std::string sysWithNew = std::string(sys) + "device = C:\\NEW.SYS\r\n";
  const Case cases[] = {
      {sys, "device", "c:\\dos\\emm386.exe NOEMS", ConfigEdit::Set,
       "FILES=30\r\nDEVICEHIGH = c:\\dos\\emm386.exe NOEMS\r\nDEVICE=C:\\HIMEM.SYS\r\n"},
      {sys, "device", "C:\\NEW.SYS", ConfigEdit::Set, sysWithNew.c_str()},
      {sys, "files", "40", ConfigEdit::Set,
       "files = 40\r\nDEVICEHIGH=C:\\DOS\\EMM386.EXE RAM\r\nDEVICE=C:\\HIMEM.SYS\r\n"},
      {"FILES=30", "FILES", "40", ConfigEdit::Add, "FILES=30\r\nFILES = 40\r\n"},
      {sys, "device", "c:\\himem.sys", ConfigEdit::Delete,
       "FILES=30\r\nDEVICEHIGH=C:\\DOS\\EMM386.EXE RAM\r\n"},
      {sys, "BUFFERS", nullptr, ConfigEdit::Delete, sys},
      {"", "NUMLOCK", nullptr, ConfigEdit::Set, "NUMLOCK\r\n"},
  };
  for (const Case& c : cases) {
    const std::optional<std::string> value =
        c.value ? std::optional<std::string>(c.value) : std::nullopt;
    EXPECT_EQ(EditConfigText(c.text, c.name, value, c.mode), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace tarvium
