// The profile functions over the emulated machine's files: how values are read (case, blanks,
// quotes, defaults, lists) and how writes change a file without touching the rest of it.
// The profile functions against the cases of the public conformance tests for Windows' profile
// functions (the behaviour a Windows machine shows), ported as tables: integer reads, key and
// section lists, the empty name as an ordinary name, whole-section reads, bare CR line ends,
// defaults with blanks, files in the Windows directory, and the exact text of writes. Cases that
// need buffers of a given size, structs, the registry mapping or sharing modes do not apply to
// this interface. Added here: UTF-16LE and UTF-8 files keep their encoding.
#include "platform/ini_profile.h"

#include <gtest/gtest.h>

#include "support/machine_dir.h"

namespace platform {
namespace {

using tarvium::test::MachineDir;

const char* const kIni = R"(C:\App\app.ini)";

TEST(IniProfile, ReadsValuesAndListsAsWindowsDoes) {
  MachineDir machine;
  IniProfile profile(machine.Files(), R"(C:\Windows)");
  machine.WriteHost("drive_c/App/app.ini",
                    "; comment=not a key\r\n"
                    "[Paths]\r\n"
                    "  Data Dir  =  C:\\Data  \r\n"
                    "Quoted=\"  spaced  \"\r\n"
                    "Single='x'\r\n"
                    "Half=\"open\n"
                    "Count= -42 apples\n"
                    "[ Other ]\n"
                    "k=v\n"
                    "[paths]\n"
                    "Data Dir=second section is not read\n");
  EXPECT_EQ(profile.GetPrivateProfileString("PATHS", "data dir", "def", kIni), "C:\\Data");
  EXPECT_EQ(profile.GetPrivateProfileString("Paths", "Quoted", "", kIni), "  spaced  ");
  EXPECT_EQ(profile.GetPrivateProfileString("Paths", "Single", "", kIni), "x");
  EXPECT_EQ(profile.GetPrivateProfileString("Paths", "Half", "", kIni), "\"open");
  EXPECT_EQ(profile.GetPrivateProfileString("Other", "k", "", kIni), "v");
  EXPECT_EQ(profile.GetPrivateProfileString("Paths", "; comment", "none", kIni), "none");
  EXPECT_EQ(profile.GetPrivateProfileInt("Paths", "Count", 7, kIni), -42);
  EXPECT_EQ(profile.GetPrivateProfileInt("Paths", "Missing", 7, kIni), 7);

  EXPECT_EQ(SplitProfileList(profile.GetPrivateProfileString(nullptr, nullptr, "", kIni)),
            (std::vector<std::string>{"Paths", "Other", "paths"}));
  EXPECT_EQ(SplitProfileList(profile.GetPrivateProfileString("paths", nullptr, "", kIni)),
            (std::vector<std::string>{"Data Dir", "Quoted", "Single", "Half", "Count"}));
  EXPECT_EQ(profile.GetPrivateProfileSection("other", kIni), std::string("k=v\0", 4));
}

TEST(IniProfile, WritesChangeOnlyWhatTheyMustAndCreateWhatIsMissing) {
  MachineDir machine;
  auto& files = machine.Files();
  IniProfile profile(files, R"(C:\Windows)");
  ASSERT_EQ(files.CreateDirectory(R"(C:\App)"), ERROR_SUCCESS);
  // Defaults, missing files and the text of writes to new files: the Windows cases below.
  const std::string original =
      "; keep me\n"
      "[Main]\r\n"
      "  Key = old \r\n"
      "Other=1\n"
      "\r\n"
      "[Tail]\n"
      "x=1";
  ASSERT_EQ(files.WriteWholeFile(kIni, original), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("main", "KEY", "new", kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("MAIN", "Added", "a", kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("tail", "y", "2", kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("New", "n", "3", kIni), ERROR_SUCCESS);
  EXPECT_EQ(machine.ReadFile(kIni),
            "; keep me\n"
            "[Main]\r\n"
            "Key=new\r\n"
            "Other=1\n"
            "Added=a\r\n"
            "\r\n"
            "[Tail]\n"
            "x=1\r\n"
            "y=2\r\n"
            "[New]\r\n"
            "n=3\r\n");

  ASSERT_EQ(profile.WritePrivateProfileString("Main", "other", nullptr, kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("TAIL", nullptr, nullptr, kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileSection("New", std::string("a=1\0b=2\0", 8), kIni),
            ERROR_SUCCESS);
  EXPECT_EQ(machine.ReadFile(kIni),
            "; keep me\n"
            "[Main]\r\n"
            "Key=new\r\n"
            "Added=a\r\n"
            "\r\n"
            "[New]\r\n"
            "a=1\r\n"
            "b=2\r\n");
  EXPECT_EQ(profile.WritePrivateProfileString(nullptr, nullptr, nullptr, kIni), ERROR_SUCCESS);

  // A read-only file is refused; a bare file name and Win.ini lie in the Windows directory.
  ASSERT_EQ(files.SetFileAttributes(kIni, FILE_ATTRIBUTE_READONLY), ERROR_SUCCESS);
  EXPECT_EQ(profile.WritePrivateProfileString("Main", "Key", "x", kIni), ERROR_ACCESS_DENIED);
  ASSERT_EQ(profile.WritePrivateProfileString("boot", "drivers", "mmsystem.dll", "System.ini"),
            ERROR_SUCCESS);
  EXPECT_EQ(machine.ReadFile(R"(C:\Windows\SYSTEM.INI)"), "[boot]\r\ndrivers=mmsystem.dll\r\n");
  ASSERT_EQ(profile.WriteProfileString("Reboot", "C:\\Setup.exe", "1"), ERROR_SUCCESS);
  EXPECT_EQ(profile.GetProfileInt("reboot", "c:\\setup.exe", 0), 1);
  EXPECT_EQ(profile.GetProfileString("Reboot", "C:\\Setup.exe", ""), "1");
  EXPECT_EQ(machine.ReadFile(R"(C:\Windows\win.ini)"), "[Reboot]\r\nC:\\Setup.exe=1\r\n");
}

const char* const kFile = R"(C:\Tests\winetest.ini)";

struct ProfileFixture {
  MachineDir machine;
  IniProfile profile{machine.Files(), R"(C:\Windows)"};
  ProfileFixture() { machine.Files().CreateDirectory(R"(C:\Tests)"); }
  void Write(const std::string& path, const std::string& bytes) {
    ASSERT_EQ(machine.Files().WriteWholeFile(path, bytes), ERROR_SUCCESS);
  }
  std::string Read(const std::string& path) { return machine.ReadFile(path); }
  bool Exists(const std::string& path) { return machine.Files().FileExists(path); }
};

TEST(ProfileWindowsCases, IntegerReadsWrapAndFallBackAsOnWindows) {
  struct Case {
    const char *section, *key;
    const char* written;  // written to Test/ProfileInt before the read
    int32_t nDefault;
    uint32_t nExpected;
  };
  const char* const s = "Test";
  const char* const k = "ProfileInt";
  // clang-format off
  const Case cases[] = {
      {nullptr, nullptr, nullptr, -1, 4294967295U}, {nullptr, nullptr, nullptr, 1, 1},
      {s, nullptr, nullptr, -1, 4294967295U},       {s, nullptr, nullptr, 1, 1},
      {nullptr, k, nullptr, -1, 4294967295U},       {nullptr, k, nullptr, 1, 1},
      {s, k, nullptr, -1, 4294967295U},             {s, k, nullptr, 1, 1},
      {s, k, "-1", -1, 4294967295U},                {s, k, "-1", 1, 4294967295U},
      {s, k, "1", -1, 1},                           {s, k, "1", 1, 1},
      {s, k, "+1", -1, 1},                          {s, k, "+1", 1, 1},
      {s, k, "4294967296", -1, 0},                  {s, k, "4294967296", 1, 0},
      {s, k, "4294967297", -1, 1},                  {s, k, "4294967297", 1, 1},
      {s, k, "-4294967297", -1, 4294967295U},       {s, k, "-4294967297", 1, 4294967295U},
      {s, k, "42A94967297", -1, 42},                {s, k, "42A94967297", 1, 42},
      {s, k, "B4294967297", -1, 0},                 {s, k, "B4294967297", 1, 0},
  };
  // clang-format on
  ProfileFixture f;
  int i = 0;
  for (const Case& c : cases) {
    if (c.written) f.profile.WritePrivateProfileString(s, k, c.written, kFile);
    EXPECT_EQ(
        static_cast<uint32_t>(f.profile.GetPrivateProfileInt(c.section, c.key, c.nDefault, kFile)),
        c.nExpected)
        << "case " << i;
    ++i;
  }
}

TEST(ProfileWindowsCases, ListsSectionsAndEmptyNames) {
  ProfileFixture f;
  f.Write(kFile, "[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n");
  EXPECT_EQ(f.profile.GetPrivateProfileString("s", nullptr, "", kFile),
            std::string("name1\0name2\0name4\0", 18));
  f.profile.WritePrivateProfileString("s", "name5", "val5", kFile);
  EXPECT_EQ(f.profile.GetPrivateProfileString("s", nullptr, "", kFile),
            std::string("name1\0name2\0name4\0name5\0", 24));

  f.Write(kFile,
          "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n[s]\r\n=val_no_key\r\n[t]\r\n");
  EXPECT_EQ(f.profile.GetPrivateProfileString("", "key", "", kFile), "val_e_section");
  EXPECT_EQ(f.profile.GetPrivateProfileString("s", "", "", kFile), "val_no_key");

  f.Write(kFile,
          "[section1]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n[section2]\r\n"
          "[section3]\r\n=val5\r\n");
  EXPECT_EQ(f.profile.GetPrivateProfileSection(nullptr, kFile), "");
  EXPECT_EQ(f.profile.GetPrivateProfileSection("section2", kFile), "");
  EXPECT_EQ(f.profile.GetPrivateProfileSection("section1", kFile),
            std::string("name1=val1\0name2=\0name3\0name4=val4\0", 35));
  EXPECT_EQ(f.profile.GetPrivateProfileSection("section3", kFile), std::string("=val5\0", 6));

  f.Write(kFile, "[ section1 ]\r\n[section2]\r\n[section3]\r\n");
  EXPECT_EQ(f.profile.GetPrivateProfileString(nullptr, nullptr, "", kFile),
            std::string("section1\0section2\0section3\0", 27));
  EXPECT_EQ(f.profile.GetPrivateProfileString(nullptr, nullptr, "", R"(C:\Tests\not_here.ini)"),
            "");

  // Nothing is cached: a file changed or deleted behind the functions' back reads as it is now.
  f.Write(kFile, "[Test]\nProfileInt=123\n");
  EXPECT_EQ(f.profile.GetPrivateProfileInt("Test", "ProfileInt", 0, kFile), 123);
  f.Write(kFile, "[Test]\nProfileInt=124\n");
  EXPECT_EQ(f.profile.GetPrivateProfileInt("Test", "ProfileInt", 0, kFile), 124);
  ASSERT_EQ(f.machine.Files().DeleteFile(kFile), ERROR_SUCCESS);
  EXPECT_EQ(f.profile.GetPrivateProfileInt("Test", "ProfileInt", 421, kFile), 421);
}

// The string reads, once over CR LF lines and once over lines ended by a bare CR.
TEST(ProfileWindowsCases, StringReadsOverBothLineEnds) {
  struct Case {
    const char *section, *key, *defaultValue, *file;
    std::string expected;
  };
  const char* const w = kFile;
  const std::string noFile;
  const Case cases[] = {
      {nullptr, "name1", "default", w, std::string("section1\0section2\0", 18)},
      {"", "name1", "default", w, "default"},
      {"notasection", "name1", "default", w, "default"},
      {"", "name1", nullptr, w, ""},
      {"", "name1", "", w, ""},
      {"", "name1", "default  ", w, "default"},
      {"", "name1", "one two  ", w, "one two"},
      {"", "name1", "one two", w, "one two"},
      {"section1", nullptr, "default", w, std::string("name1\0name2\0name4\0", 18)},
      {"section1", "", "default", w, "default"},
      {"section1", "notakey", "default", w, "default"},
      {"section1", "", nullptr, w, ""},
      {"section1", "", "", w, ""},
      {"section1", "", "default  ", w, "default"},
      {"section1", "name1", "default", "", "default"},
      {"section1", "name1", "default", "nonexistent", "default"},
      {"section1", "name2", "default", w, "val2"},
      {"section1", "NaMe1", "default", w, "val1"},
      {"section1", "NaMe1", "default", "winetest.ini", "default"},
      {"section1", "NaMe1", "default", "pre1234.tmp", "val1"},
      {"section1", "name1", "default", w, "val1"},
      {"section1", "name4", "default", w, "a"},
      {"section2", "DoesntExist", "", w, ""},
  };
  for (const char* lineEnd : {"\r\n", "\r"}) {
    const std::string e = lineEnd;
    const std::string content = "[section1]" + e + "name1=val1" + e + "name2=\"val2\"" + e +
                                "name3" + e + "name4=a" + e + "[section2]" + e;
    ProfileFixture f;
    f.Write(kFile, content);
    f.Write(R"(C:\Windows\pre1234.tmp)", content);
    int i = 0;
    for (const Case& c : cases) {
      EXPECT_EQ(f.profile.GetPrivateProfileString(c.section, c.key, c.defaultValue, c.file),
                c.expected)
          << "case " << i << (e == "\r" ? " (CR only)" : " (CR LF)");
      ++i;
    }
  }
}

TEST(ProfileWindowsCases, WritesGiveTheExactTextWindowsWrites) {
  ProfileFixture f;
  const std::string path = R"(C:\Tests\wine1.tmp)";
  EXPECT_EQ(f.profile.WritePrivateProfileString(nullptr, "key", "string", path),
            ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(f.Exists(path));
  f.Write(path, "");
  EXPECT_EQ(f.profile.WritePrivateProfileString(nullptr, "key", "string", path),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(f.Read(path), "");
  ASSERT_EQ(f.machine.Files().DeleteFile(path), ERROR_SUCCESS);

  struct Case {
    const char *section, *key, *value;
    std::string expected;  // the file afterwards; "-" when it does not exist
  };
  // Windows creates an empty file for a delete on a missing file; here the file stays missing,
  // so that removing entries never leaves files behind (the two "-" rows).
  const Case singles[] = {
      {"", "key", "string", "[]\r\nkey=string\r\n"}, {"App", nullptr, "string", "-"},
      {"App", "", "string", "[App]\r\n=string\r\n"}, {"App", "key", nullptr, "-"},
      {"App", "key", "", "[App]\r\nkey=\r\n"},
  };
  for (const Case& c : singles) {
    ASSERT_EQ(f.profile.WritePrivateProfileString(c.section, c.key, c.value, path), ERROR_SUCCESS);
    EXPECT_EQ(f.Exists(path) ? f.Read(path) : "-", c.expected) << c.section << "/" << c.key;
    if (f.Exists(path)) f.machine.Files().DeleteFile(path);
  }
  EXPECT_EQ(f.profile.WritePrivateProfileString("App", "key", "string", ""), ERROR_ACCESS_DENIED);
  ASSERT_EQ(f.profile.WritePrivateProfileString("App", "key", "string", "win1.tmp"), ERROR_SUCCESS);
  EXPECT_EQ(f.Read(R"(C:\Windows\win1.tmp)"), "[App]\r\nkey=string\r\n");

  f.profile.WritePrivateProfileString("App1", "key1", "string1", path);
  f.profile.WritePrivateProfileString("App1", "key2", "string2", path);
  f.profile.WritePrivateProfileString("App1", "key3", "string3", path);
  f.profile.WritePrivateProfileString("App2", "key4", "string4", path);
  const Case sequence[] = {
      {"App3", "key5", "string5",
       "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n"
       "[App3]\r\nkey5=string5\r\n"},
      {"App1", "key2", nullptr,
       "[App1]\r\nkey1=string1\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n[App3]\r\n"
       "key5=string5\r\n"},
      {"App1", "key2", nullptr,
       "[App1]\r\nkey1=string1\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n[App3]\r\n"
       "key5=string5\r\n"},
      {"App1", nullptr, "string1", "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n"},
      {"App2", nullptr, nullptr, "[App3]\r\nkey5=string5\r\n"},
      {"App3", "key5", nullptr, "[App3]\r\n"},
  };
  for (const Case& c : sequence) {
    ASSERT_EQ(f.profile.WritePrivateProfileString(c.section, c.key, c.value, path), ERROR_SUCCESS);
    EXPECT_EQ(f.Read(path), c.expected) << c.section;
  }

  const std::string before("Data \0 before \0 first \0 section", 31);
  f.Write(path, before);
  ASSERT_EQ(f.profile.WritePrivateProfileString("section1", "key1", "string1", path),
            ERROR_SUCCESS);
  EXPECT_EQ(f.Read(path), before + "\r\n[section1]\r\nkey1=string1\r\n");
}

TEST(ProfileWindowsCases, SectionReadWrittenBackLosesNothing) {
  ProfileFixture f;
  f.Write(kFile, "[A]\r\n; note\r\nplain line\r\n=lone value\r\nk = v\r\n\r\n[B]\r\nx=1\r\n");
  const std::string lines = f.profile.GetPrivateProfileSection("A", kFile);
  ASSERT_EQ(f.profile.WritePrivateProfileSection("A", lines, kFile), ERROR_SUCCESS);
  EXPECT_EQ(f.Read(kFile), "[A]\r\n; note\r\nplain line\r\n=lone value\r\nk=v\r\n[B]\r\nx=1\r\n");
}

TEST(ProfileWindowsCases, UnicodeFilesAreReadAndWrittenInTheirEncoding) {
  auto utf16 = [](std::string_view ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
  };
  ProfileFixture f;
  f.Write(kFile, utf16("[.ShellClassInfo]\r\nIconResource=x.dll,0\r\n"));
  EXPECT_EQ(f.profile.GetPrivateProfileString(".ShellClassInfo", "IconResource", "", kFile),
            "x.dll,0");
  ASSERT_EQ(f.profile.WritePrivateProfileString(".ShellClassInfo", "InfoTip", "T\xE9st", kFile),
            ERROR_SUCCESS);
  std::string expected = utf16("[.ShellClassInfo]\r\nIconResource=x.dll,0\r\nInfoTip=T");
  expected += std::string("\xE9\0", 2) + utf16("st\r\n").substr(2);
  EXPECT_EQ(f.Read(kFile), expected);
  EXPECT_EQ(f.profile.GetPrivateProfileString(".ShellClassInfo", "InfoTip", "", kFile), "T\xE9st");

  f.Write(kFile, "\xEF\xBB\xBF[s]\nk=v\n");
  EXPECT_EQ(f.profile.GetPrivateProfileString("s", "k", "", kFile), "v");
  ASSERT_EQ(f.profile.WritePrivateProfileString("s", "k", nullptr, kFile), ERROR_SUCCESS);
  EXPECT_EQ(f.Read(kFile), "\xEF\xBB\xBF[s]\n");
}

}  // namespace
}  // namespace platform
