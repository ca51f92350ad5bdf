// A section edits its file's whole text in memory, one line after the other, and writes it once,
// in the encoding it was read in, only when every line was applied: a run aborted in the middle
// leaves the file as it was. The 64-bit system's folder comes first; its SysWOW64 copy, which
// 32-bit programs read, gets the same edit only when the first one succeeded.
#include "sysconfig/ip_config_section.h"

#include <array>

#include "engine/inf_file.h"
#include "engine/inf_reader.h"
#include "engine/pump_messages.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/show_message.h"
#include "install/section_counts.h"
#include "install/section_dispatch.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "sysconfig/ip_entries.h"
#include "sysconfig/section_files.h"
#include "ui/user_interface.h"

namespace tarvium {
namespace {

constexpr uint32_t kPlatformDos = 1;
constexpr size_t kIpLineSize = 256;

struct IpFile {
  const char* pszSection;
  const char* pszFile;
  size_t nKeyFields;
};

// A services entry is known by its name and protocol, a hosts entry by its address and name;
// the other files by their first field.
constexpr std::array<IpFile, 5> kIpFiles = {{
    {"IP Services", "services", 2},
    {"IP Protocols", "protocol", 1},
    {"IP Networks", "networks", 1},
    {"IP Hosts", "hosts", 2},
    {"IP LMHosts", "lmhosts", 1},
}};

const IpFile* FindIpFile(const std::string& sectionName) {
  const std::string base = SectionBaseName(sectionName);
  for (const IpFile& file : kIpFiles)
    if (platform::AnsiEqualNoCase(base, file.pszSection)) return &file;
  return nullptr;
}

std::string WithoutTrailingBackslash(std::string dir) {
  while (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return dir;
}

std::string FolderOf(SetupRun& run, platform::SpecialFolder folder) {
  std::string dir;
  run.machine.System().GetSpecialFolder(folder, dir);
  return WithoutTrailingBackslash(dir);
}

// The drivers\etc folder below `base`, variables replaced, created when missing.
std::string EtcFolder(SetupRun& run, const std::string& base) {
  std::string dir = base + "\\drivers\\etc";
  ReplaceVariables(run, dir);
  dir = WithoutTrailingBackslash(dir);
  if (!run.machine.Files().DirectoryExists(dir)) run.machine.Files().CreateDirectoryTree(dir);
  return dir;
}

struct IpSectionRun {
  SetupRun& run;
  const std::string& sectionName;
  const IpFile& file;
};

// Applies the section's lines to the text; false when the run was aborted before the last one.
bool ApplyLines(IpSectionRun& s, std::string& text, int32_t& nApplied) {
  SetupRun& run = s.run;
  const auto apply = [&](const std::string& sectionLine) {
    std::string line = sectionLine;
    if (run.script.traceLine) run.script.traceLine(run, s.sectionName, run.position.nLine, line);
    ReplaceVariables(run, line);
    if (run.ui) run.ui->ShowStatus(line, s.sectionName);
    text = EditIpEntries(text, line, s.file.nKeyFields, run.ctx.bUninstall);
    ++nApplied;
    return PumpWindowMessages(run);
  };
  return ForEachSectionLine(run, s.sectionName, {}, apply, kIpLineSize) && !run.ctx.bAborted;
}

// One copy of the file: read (empty when there is none), edited, and written back when at least
// one line was applied.
bool EditIpFile(IpSectionRun& s, const std::string& etcFolder) {
  SetupRun& run = s.run;
  const std::string path = etcFolder + "\\" + s.file.pszFile;
  SetupTrace(run, "IP filename: %s\n", path.c_str());
  std::string text;
  TextEncoding encoding = TextEncoding::Ansi;
  if (run.machine.Files().FileExists(path)) {
    std::optional<InfFile> loaded = LoadTextFile(run, path, encoding);
    if (!loaded) return false;
    text = loaded->View();
  }
  int32_t nApplied = 0;
  if (!ApplyLines(s, text, nApplied)) return false;
  if (nApplied == 0) return true;
  const std::string bytes = EncodeText(text, encoding);
  if (run.machine.Files().WriteWholeFile(path, bytes) == platform::ERROR_SUCCESS) return true;
  ShowMessage(run, 5504, path);
  return false;
}

}  // namespace

bool HandleIpConfigSection(SetupRun& run, const std::string& sectionName, bool bCarryOut) {
  if (!bCarryOut) return true;
  const IpFile* pFile = FindIpFile(sectionName);
  if (!pFile || !StepSectionCount(run, sectionName)) return true;
  // Text 5003 with "IP" would title the main window while the section runs; this build's user
  // interface has no title to change. The section's name shows as the status's second line.
  if (!run.inf || !FindSection(*run.inf, sectionName)) {
    ShowMessage(run, 5529, sectionName);
    return false;
  }
  const bool bDosBased = RunOsVersion(run).dwPlatformId == kPlatformDos;
  const std::string systemFolder =
      FolderOf(run, bDosBased ? platform::SpecialFolder::Windows : platform::SpecialFolder::System);
  IpSectionRun s{run, sectionName, *pFile};
  if (!EditIpFile(s, EtcFolder(run, systemFolder))) return false;
  return EditIpFile(s,
                    EtcFolder(run, FolderOf(run, platform::SpecialFolder::Windows) + "\\SysWOW64"));
}

}  // namespace tarvium
