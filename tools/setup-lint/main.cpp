// setup-lint: checks a setup information file before it ships. The file is read with the engine's
// own reader and every line is judged by the engine's own parsers (option and copy flags, IF
// lines, section lookup), so a finding is what the engine would report at run time, or a trap
// the engine accepts silently. With the media folder the copy lines' sources are looked for as a
// run would look for them, and --fill-sizes writes their sizes into the file first.
// Usage: setup-lint [--json] [--machine DIR] [--fill-sizes] FILE [MEDIA_DIR] | --rules.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/inf_file.h"
#include "fill_sizes.h"
#include "lint_file.h"
#include "lint_report.h"
#include "media_check.h"
#include "platform/code_page.h"
#include "platform/error_text.h"
#include "platform/host/host_file_system.h"
#include "platform/win_error.h"
#include "rule_table.h"
#include "standard_answers.h"

namespace {

constexpr const char* kUsage =
    "usage: setup-lint [--json] [--machine DIR] [--fill-sizes] FILE [MEDIA_DIR]\n"
    "       setup-lint --rules | --version\n"
    "Checks a setup information file (Setup.inf) as Setup.exe reads it and reports what would\n"
    "fail at run time or silently surprise: FILE:LINE: error|warning: text [rule].\n"
    "Exit status: 0 clean, 1 warnings only, 2 errors (or bad arguments, an unreadable file).\n"
    "--json writes the findings as a JSON array; --rules lists the rules.\n"
    "MEDIA_DIR, the folder of the setup's media (%Src%), has every copy line's source looked\n"
    "for as Setup.exe looks for it, on the emulated machine DIR (default: a fresh temporary one;\n"
    "a DIR that holds no machine is refused), and every size field compared with its source's.\n"
    "--fill-sizes (with MEDIA_DIR) first writes the size of every source found into its copy\n"
    "line, in place, and tells on stderr how many lines changed.\n";

struct Arguments {
  bool bJson = false;
  bool bFillSizes = false;
  std::string machineDir;  // empty: a fresh temporary machine
  std::string file;
  std::string mediaDir;  // empty: no media
};

// False for arguments that are not the usage's, with what is wrong with them in fault.
bool ReadArguments(int argc, char** argv, Arguments& args, std::string& fault) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--json")
      args.bJson = true;
    else if (arg == "--fill-sizes")
      args.bFillSizes = true;
    else if (arg == "--machine" && i + 1 < argc)
      args.machineDir = argv[++i];
    else if (arg == "--machine")
      return fault = "--machine needs the machine's folder", false;
    else if (arg.empty() || arg[0] == '-')
      return fault = "unknown argument '" + arg + "'", false;
    else
      files.push_back(arg);
  }
  if (files.size() > 2)
    return fault = "argument '" + files[2] + "' after the file and its media folder", false;
  if (files.empty()) return fault = "no file to check", false;
  args.file = files[0];
  if (files.size() == 2) args.mediaDir = files[1];
  return true;
}

int PrintRules() {
  for (const tarvium::lint::Rule& rule : tarvium::lint::Rules())
    std::printf("%-22.*s %.*s\n", static_cast<int>(rule.name.size()), rule.name.data(),
                static_cast<int>(rule.explanation.size()), rule.explanation.data());
  return 0;
}

// The file's bytes; false with a message when it is unreadable.
bool ReadBytes(const std::string& path, std::string& bytes) {
  platform::HostFileSystem files;
  const uint32_t dwError = files.ReadWholeFile(path, bytes);
  if (dwError == platform::ERROR_SUCCESS) return true;
  std::fprintf(stderr, "setup-lint: cannot read '%s': %s\n", path.c_str(),
               platform::ErrorCodeText(dwError).c_str());
  return false;
}

// The file's text as the engine reads it, indexed.
tarvium::InfFile IndexedFile(const std::string& bytes, tarvium::TextEncoding& encoding) {
  tarvium::InfFile inf(tarvium::DecodeText(bytes, encoding));
  inf.BuildSectionIndex();
  return inf;
}

// Writes the sizes into the file and reads it anew; false with a message when it cannot.
bool FillSizesInFile(const std::string& path, tarvium::lint::Media& media, std::string& bytes,
                     tarvium::InfFile& inf, tarvium::TextEncoding& encoding) {
  if (encoding == tarvium::TextEncoding::Utf16Le) {
    std::fprintf(stderr, "setup-lint: --fill-sizes does not rewrite UTF-16 files\n");
    return false;
  }
  const int nChanged = tarvium::lint::FillSizes(media, inf, media.WindowsPathOf(path), bytes);
  if (nChanged > 0) {
    if (const uint32_t dwError = platform::WriteHostFile(path, bytes)) {
      std::fprintf(stderr, "setup-lint: cannot write '%s': %s\n", path.c_str(),
                   platform::SystemErrorText(dwError).c_str());
      return false;
    }
    inf = IndexedFile(bytes, encoding);
    media.ForgetListings();  // the file's own size has changed
  }
  std::fprintf(stderr, "setup-lint: %d copy line%s given %s size\n", nChanged,
               nChanged == 1 ? "" : "s", nChanged == 1 ? "its" : "their");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto answered = tarvium::AnswerVersionOrUsage(argc, argv, "setup-lint", kUsage))
    return *answered;
  if (argc == 2 && std::strcmp(argv[1], "--rules") == 0) return PrintRules();
  Arguments args;
  if (std::string fault; !ReadArguments(argc, argv, args, fault)) {
    std::fprintf(stderr, "setup-lint: %s (setup-lint --help shows the usage)\n", fault.c_str());
    return 2;
  }
  if (args.bFillSizes && args.mediaDir.empty()) {
    std::fputs("setup-lint: --fill-sizes needs the media folder (MEDIA_DIR) to read sizes from\n",
               stderr);
    return 2;
  }
  if (!args.machineDir.empty() && !tarvium::lint::IsMachineDirectory(args.machineDir)) {
    std::fprintf(stderr, "setup-lint: '%s' holds no machine (winmachine create DIR makes one)\n",
                 args.machineDir.c_str());
    return 2;
  }
  std::string bytes;
  if (!ReadBytes(args.file, bytes)) return 2;
  tarvium::TextEncoding encoding;
  tarvium::InfFile inf = IndexedFile(bytes, encoding);
  std::unique_ptr<tarvium::lint::Media> media;
  if (!args.mediaDir.empty()) {
    media = std::make_unique<tarvium::lint::Media>();
    if (std::string error; !media->Open(args.machineDir, args.mediaDir, inf, error)) {
      std::fprintf(stderr, "setup-lint: %s\n", error.c_str());
      return 2;
    }
  }
  if (args.bFillSizes && !FillSizesInFile(args.file, *media, bytes, inf, encoding)) return 2;
  tarvium::lint::LintReport report;
  tarvium::lint::LintFile(inf, args.file, report, media.get());
  std::vector<tarvium::lint::Finding> findings = report.Sorted();
  for (tarvium::lint::Finding& finding : findings)
    finding.text = platform::AnsiToUtf8(finding.text);
  const std::string out = args.bJson ? tarvium::lint::FormatJson(findings, args.file)
                                     : tarvium::lint::FormatText(findings, args.file);
  std::fputs(out.c_str(), stdout);
  return report.ExitStatus();
}
