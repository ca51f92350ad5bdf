// infdump: reads a setup information file the way Setup.exe does, through the emulated machine's
// file system, lists its sections with the number of lines each holds (empty and comment lines
// included; a backslash at a line end joins no lines, as in every section the engine reads; a
// duplicate section is listed as ignored), and shows the
// product identity the engine reads from it. Usage: infdump [--machine DIR] FILE, where FILE is
// named as Setup.exe takes it (a Windows path of the machine, or relative to the current
// directory) or by its host path.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "engine/inf_file.h"
#include "engine/inf_reader.h"
#include "engine/init_variables.h"
#include "engine/product_identity.h"
#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "platform/code_page.h"
#include "platform/command_line_args.h"
#include "platform/emulated/machine/emulated_machine.h"
#include "script/language_choice.h"
#include "script/script_engine.h"
#include "version_text.h"

namespace {

constexpr const char* kUsage =
    "usage: infdump [--machine DIR] FILE | --version\n"
    "Lists the sections of a setup information file as Setup.exe reads them and the product\n"
    "identity it reads from it. FILE is a Windows path of the machine (C:\\..., Z:\\...), a\n"
    "path relative to the current directory, or a host path.\n";

const char* EncodingName(tarvium::TextEncoding encoding) {
  switch (encoding) {
    case tarvium::TextEncoding::Utf8:
      return "UTF-8";
    case tarvium::TextEncoding::Utf16Le:
      return "UTF-16LE";
    default:
      return "ANSI";
  }
}

std::string HeaderNameAt(const char* header) {
  std::string name;
  for (const char* p = header + 1; *p && *p != ']' && *p != '\r' && *p != '\n'; ++p) name += *p;
  return name;
}

// One section with its line count. A later section of a name already listed is never read by
// the engine (the first one wins), which the listing says instead of a count.
void PrintSection(const tarvium::InfFile& inf, const char* header,
                  std::map<std::string, std::string>& firstNames) {
  const std::string name = HeaderNameAt(header);
  const int nPad = static_cast<int>(name.size() < 28 ? 28 - name.size() : 1);
  const auto [first, bFirst] = firstNames.try_emplace(platform::AnsiUpper(name), name);
  if (!bFirst) {
    std::printf("  [%s]%*signored: a duplicate, the first [%s] wins\n",
                platform::AnsiToUtf8(name).c_str(), nPad, "",
                platform::AnsiToUtf8(first->second).c_str());
    return;
  }
  tarvium::InfSection cursor;
  tarvium::OpenSection(cursor, tarvium::FindSection(inf, name), false, false, false);
  std::printf("  [%s]%*s%3d lines\n", platform::AnsiToUtf8(name).c_str(), nPad, "",
              cursor.LineCount());
}

// The text of the run's last message with its number: "Cannot open file 'x'! (message 5501)".
std::string LastMessage(const tarvium::SetupRun& run) {
  if (run.shownMessages.empty()) return "no message";
  std::string text = platform::AnsiToUtf8(run.messages.szLastError);
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text + " (message " + std::to_string(run.shownMessages.back().nMessage) + ")";
}

void PrintIdentity(tarvium::SetupRun& run, const tarvium::InfFile& inf) {
  tarvium::ReadProductIdentity(run, inf);
  if (!tarvium::CheckFormatVersion(run)) {
    std::printf("product identity refused: %s\n", LastMessage(run).c_str());
    return;
  }
  const tarvium::SetupContext& ctx = run.ctx;
  std::printf("product identity (format version 0x%X):\n", ctx.nFormatVersion);
  for (const char* name :
       {"ProductName", "ProductNameShort", "DeveloperName", "Version", "Revision", "ApplicationDir",
        "DataDir", "MachineKeyName", "UninstallKeyName", "User", "Company", "Programs"}) {
    const std::string& value = run.variables.Get(name);
    std::printf("  %-18s %s\n", name, platform::AnsiToUtf8(value).c_str());
  }
  std::printf("  %-18s %s\n", "window title", platform::AnsiToUtf8(ctx.szWindowTitle).c_str());
  std::printf("  %-18s 0x%X\n", "uninstall options", ctx.dwUninstallOptions);
  std::printf("  %-18s %s\n", "call time limit",
              ctx.nCallTimeOut < 0 ? "none" : (std::to_string(ctx.nCallTimeOut) + " ms").c_str());
}

}  // namespace

int main(int argc, char** argv) {
  using platform::emulated::EmulatedMachine;
  if (tarvium::AsksForVersion(argc, argv)) return tarvium::PrintVersion("infdump");
  std::string machineDir = EmulatedMachine::DefaultDirectory();
  int i = 1;
  if (argc == 4 && std::strcmp(argv[1], "--machine") == 0) {
    machineDir = argv[2];
    i = 3;
  }
  if (argc == i + 1 && platform::IsHelpArgument(argv[i])) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != i + 1) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string error;
  auto machine = EmulatedMachine::Open(machineDir, {}, error);
  if (!machine) {
    std::fprintf(stderr, "infdump: %s\n", error.c_str());
    return 1;
  }
  machine->TakeHostCurrentDirectory();
  std::string path = platform::Utf8ToAnsi(argv[i]);
  if (!path.empty() && path[0] == '/') machine->EmulatedFiles().GetWindowsPath(argv[i], path);
  tarvium::SetupRun run(*machine);
  tarvium::AttachScriptEngine(run);
  tarvium::ChooseLanguage(run);
  tarvium::InitVariables(run);
  tarvium::TextEncoding encoding;
  auto inf = tarvium::LoadTextFile(run, path, encoding);
  if (!inf || !tarvium::BuildSectionIndex(run, *inf)) {
    std::fprintf(stderr, "infdump: cannot read '%s': %s\n", argv[i], LastMessage(run).c_str());
    return 1;
  }
  std::printf("%s: %zu bytes, %s, %zu sections\n", platform::AnsiToUtf8(path).c_str(),
              inf->View().size(), EncodingName(encoding), inf->SectionIndex().size() - 1);
  std::map<std::string, std::string> firstNames;  // upper-cased name -> name as first written
  for (const char* header : inf->SectionIndex()) {
    if (!header) break;
    PrintSection(*inf, header, firstNames);
  }
  PrintIdentity(run, *inf);
  return 0;
}
