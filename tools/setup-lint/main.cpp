// setup-lint: checks a setup information file before it ships. The file is read with the engine's
// own reader and every line is judged by the engine's own parsers (option and copy flags, IF
// lines, section lookup), so a finding is what the engine would report at run time, or a trap
// the engine accepts silently. Usage: setup-lint [--json] [--rules] FILE.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/inf_file.h"
#include "lint_file.h"
#include "lint_report.h"
#include "platform/code_page.h"
#include "platform/error_text.h"
#include "platform/host/host_file_system.h"
#include "platform/win_error.h"
#include "rule_table.h"
#include "standard_answers.h"

namespace {

constexpr const char* kUsage =
    "usage: setup-lint [--json] FILE | --rules | --version\n"
    "Checks a setup information file (Setup.inf) as Setup.exe reads it and reports what would\n"
    "fail at run time or silently surprise: FILE:LINE: error|warning: text [rule].\n"
    "Exit status: 0 clean, 1 warnings only, 2 errors (or bad arguments, an unreadable file).\n"
    "--json writes the findings as a JSON array; --rules lists the rules.\n";

struct Arguments {
  bool bJson = false;
  std::string file;
};

// False for arguments that are not the usage's.
bool ReadArguments(int argc, char** argv, Arguments& args) {
  int i = 1;
  if (i < argc && std::strcmp(argv[i], "--json") == 0) args.bJson = true, ++i;
  if (argc != i + 1 || argv[i][0] == '-') return false;
  args.file = argv[i];
  return true;
}

int PrintRules() {
  for (const tarvium::lint::Rule& rule : tarvium::lint::Rules())
    std::printf("%-22.*s %.*s\n", static_cast<int>(rule.name.size()), rule.name.data(),
                static_cast<int>(rule.explanation.size()), rule.explanation.data());
  return 0;
}

// The file's text as the engine reads it, indexed; false with a message when it is unreadable.
bool LoadFile(const std::string& path, tarvium::InfFile& inf) {
  platform::HostFileSystem files;
  std::string bytes;
  const uint32_t dwError = files.ReadWholeFile(path, bytes);
  if (dwError != platform::ERROR_SUCCESS) {
    std::fprintf(stderr, "setup-lint: cannot read '%s': %s\n", path.c_str(),
                 platform::SystemErrorText(dwError).c_str());
    return false;
  }
  tarvium::TextEncoding encoding;
  inf = tarvium::InfFile(tarvium::DecodeText(bytes, encoding));
  inf.BuildSectionIndex();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto answered = tarvium::AnswerVersionOrUsage(argc, argv, "setup-lint", kUsage))
    return *answered;
  if (argc == 2 && std::strcmp(argv[1], "--rules") == 0) return PrintRules();
  Arguments args;
  if (!ReadArguments(argc, argv, args)) {
    std::fputs("setup-lint: bad arguments (setup-lint --help shows the usage)\n", stderr);
    return 2;
  }
  tarvium::InfFile inf;
  if (!LoadFile(args.file, inf)) return 2;
  tarvium::lint::LintReport report;
  tarvium::lint::LintFile(inf, report);
  std::vector<tarvium::lint::Finding> findings = report.Sorted();
  for (tarvium::lint::Finding& finding : findings)
    finding.text = platform::AnsiToUtf8(finding.text);
  const std::string out = args.bJson ? tarvium::lint::FormatJson(findings, args.file)
                                     : tarvium::lint::FormatText(findings, args.file);
  std::fputs(out.c_str(), stdout);
  return report.ExitStatus();
}
