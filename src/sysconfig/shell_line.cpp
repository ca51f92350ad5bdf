// The fields are read once into an array and then given their meaning, so the order of the ten
// fields is written in one place; the flag names are a table in the shared flag syntax.
#include "sysconfig/shell_line.h"

#include <array>

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

constexpr size_t kFieldCount = 10;
constexpr uint32_t kShowMinNoActive = 7;

constexpr std::array<FlagName, 18> kLinkFlagNames = {{
    {"HAS_ID_LIST", 0x1},
    {"HAS_LINK_INFO", 0x2},
    {"HAS_NAME", 0x4},
    {"HAS_RELPATH", 0x8},
    {"HAS_WORKINGDIR", 0x10},
    {"HAS_ARGS", 0x20},
    {"HAS_ICONLOCATION", 0x40},
    {"UNICODE", 0x80},
    {"FORCE_NO_LINKINFO", 0x100},
    {"HAS_EXP_SZ", 0x200},
    {"RUN_IN_SEPARATE", 0x400},
    {"HAS_LOGO3ID", 0x800},
    {"HAS_DARWINID", 0x1000},
    {"RUNAS_USER", 0x2000},
    {"HAS_EXP_ICON_SZ", 0x4000},
    {"NO_PIDL_ALIAS", 0x8000},
    {"FORCE_UNCNAME", 0x10000},
    {"RUN_WITH_SHIMLAYER", 0x20000},
}};

// A signed decimal number at the start of the text (blanks first); text that is no number reads
// as 0, an empty field as the default.
int64_t DecimalField(std::string_view text, int64_t nDefault) {
  text = TrimAnsi(text);
  if (text.empty()) return nDefault;
  const bool bNegative = text[0] == '-';
  if (bNegative || text[0] == '+') text.remove_prefix(1);
  int64_t nValue = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    nValue = (nValue * 10 + (c - '0')) & 0xFFFFFFFF;
  }
  return bNegative ? -nValue : nValue;
}

// "\"C:\dir\prog.exe\" /x": the target without its quotes and the rest as arguments.
void SplitQuotedTarget(ShellLinkLine& line) {
  if (line.target.empty() || line.target[0] != '"' || !line.arguments.empty()) return;
  const size_t nClose = line.target.find('"', 1);
  if (nClose == std::string::npos) {
    line.target.erase(0, 1);
    return;
  }
  line.arguments = std::string(TrimAnsiLeft(std::string_view(line.target).substr(nClose + 1)));
  line.target = line.target.substr(1, nClose - 1);
}

std::string_view LastElement(std::string_view path) {
  const size_t nSep = path.find_last_of('\\');
  return nSep == std::string_view::npos ? path : path.substr(nSep + 1);
}

std::string_view WithoutExtension(std::string_view name) {
  const size_t nDot = name.find_last_of('.');
  return nDot == std::string_view::npos ? name : name.substr(0, nDot);
}

}  // namespace

bool ParseShellLine(std::string_view line, const SubstituteField& substitute, ShellLinkLine& out,
                    std::string& substitutedLink) {
  out = ShellLinkLine{};
  const std::string text(line);
  std::array<std::string, kFieldCount> fields;
  const char* rest = text.c_str();
  for (std::string& field : fields) {
    if (!rest) break;
    rest = NextField(rest, field);
  }
  for (size_t i : {0, 1, 2, 3, 4, 5, 9}) {
    fields[i] = std::string(TrimAnsi(fields[i]));
    if (i == 0) out.link = fields[i];
    if (substitute) substitute(fields[i]);
  }
  substitutedLink = fields[0];
  out.target = fields[1];
  out.arguments = fields[2];
  out.workingDir = fields[3];
  out.description = fields[4];
  out.iconFile = fields[5];
  out.iIconIndex = static_cast<int32_t>(DecimalField(fields[6], 0));
  out.iShowCmd = static_cast<int32_t>(DecimalField(fields[7], -1));
  out.wHotKey = static_cast<uint16_t>(DecimalField(fields[8], 0) & 0xFFFF);
  out.flagText = std::string(TrimAnsi(fields[9]));
  SplitQuotedTarget(out);
  if (out.flagText.empty()) return true;
  const uint32_t dwFlags = ParseFlags(out.flagText, kLinkFlagNames);
  if (dwFlags == kUnknownFlags) return false;
  out.dwLinkFlags = dwFlags;
  return true;
}

std::string CompleteLinkPath(std::string_view link, std::string_view programsFolder) {
  std::string path;
  if (link.find(':') == std::string_view::npos && (link.empty() || link[0] != '\\')) {
    path = std::string(programsFolder);
    if (!path.empty() && path.back() != '\\') path += '\\';
  }
  path += link;
  const std::string_view name = LastElement(path);
  const size_t nDot = name.find_last_of('.');
  const std::string_view ext = nDot == std::string_view::npos ? "" : name.substr(nDot + 1);
  if (!platform::AnsiEqualNoCase(ext, "lnk") && !platform::AnsiEqualNoCase(ext, "pif"))
    path += ".lnk";
  return path;
}

bool LinkMadeInRun(std::string_view link, const LinkRunKind& run) {
  if (platform::AnsiStartsWithNoCase(link, "%User"))
    return !run.bAdminSetup && !run.bMachinePartRun;
  if (platform::AnsiStartsWithNoCase(link, "%Common")) return !run.bAdminSetup && !run.bUserSetup;
  if (platform::AnsiStartsWithNoCase(link, "%App%")) return !run.bClientSetup && !run.bFromMedium;
  if (run.bCommonShellLinks) return !run.bAdminSetup && !run.bUserSetup;
  return !run.bAdminSetup && !run.bMachinePartRun;
}

ProgmanItem ProgmanItemOfLink(const ShellLinkLine& line, std::string_view link) {
  ProgmanItem item;
  const size_t nFirstSep = link.find('\\');
  item.group = std::string(nFirstSep == std::string_view::npos ? link : link.substr(0, nFirstSep));
  item.name = std::string(WithoutExtension(LastElement(link)));
  std::string command = line.target;
  if (!line.arguments.empty()) command += " " + line.arguments;
  item.text = command + "," + item.name + "," + line.iconFile + "," +
              std::to_string(line.iIconIndex) + ",,," + line.workingDir + "," +
              std::to_string(line.wHotKey) + "," +
              (line.iShowCmd == static_cast<int32_t>(kShowMinNoActive) ? "1" : "0");
  return item;
}

}  // namespace tarvium
