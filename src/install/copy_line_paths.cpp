// The destination-relative prefixes are a table searched for the most specific directory that
// holds the destination (the system directory lies inside the Windows directory, and a source
// "Windows\System\x.dll" meant for %System% must lose both components, not one).
#include "install/copy_line_paths.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "engine/predefined_names.h"
#include "engine/setup_run.h"
#include "install/copy_flags.h"
#include "install/system_directory.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

constexpr uint32_t kUseFileName = 8;  // attribute word USEFILENAME

constexpr int kApp = PredefinedIndex("App");
constexpr int kClient = PredefinedIndex("Client");
constexpr int kData = PredefinedIndex("Data");
constexpr int kSrc = PredefinedIndex("Src");
constexpr int kSystem = PredefinedIndex("System");
constexpr int kWindows = PredefinedIndex("Windows");

struct RelativePrefix {
  int directory;  // the predefined variable naming the directory the destination lies in
  std::array<std::string_view, 2> prefixes;
  int nComponents;
};

constexpr std::array<RelativePrefix, 17> kRelativePrefixes = {{
    {PredefinedIndex("Windows"), {"Windows\\", ""}, 1},
    {PredefinedIndex("System"), {"Windows\\System\\", "Windows\\System32\\"}, 2},
    {PredefinedIndex("System16"), {"Windows\\System\\", "Windows\\System16\\"}, 2},
    {PredefinedIndex("Fonts"), {"Windows\\Fonts\\", ""}, 2},
    {PredefinedIndex("Data"), {"Data\\", ""}, 1},
    {PredefinedIndex("PrintProcessorDir"), {"Windows\\System\\", "Windows\\System32\\"}, 2},
    {PredefinedIndex("PrinterDriverDir"), {"Windows\\System\\", "Windows\\System32\\"}, 2},
    {PredefinedIndex("Personal"), {"Personal\\", ""}, 1},
    {PredefinedIndex("AppData"), {"AppData\\", ""}, 1},
    {PredefinedIndex("CommonAppData"), {"CommonAppData\\", ""}, 1},
    {PredefinedIndex("LocalAppDataLow"), {"LocalAppDataLow\\", ""}, 1},
    {PredefinedIndex("LocalAppData"), {"LocalAppData\\", ""}, 1},
    {PredefinedIndex("LocalSettings"), {"LocalSettings\\", ""}, 1},
    {PredefinedIndex("UserProfile"), {"UserProfile\\", ""}, 1},
    {PredefinedIndex("Templates"), {"Windows\\ShellNew\\", ""}, 2},
    {PredefinedIndex("MediaPath"), {"Windows\\Media\\", ""}, 2},
    {PredefinedIndex("CommonFilesDir"), {"Common\\", "CommonFilesDir\\"}, 1},
}};

// The first letters of the prefixes above: a source that starts with none of them (most do) needs
// no look at the table.
constexpr std::array<bool, 256> PrefixFirstLetters() {
  std::array<bool, 256> letters{};
  for (const RelativePrefix& row : kRelativePrefixes)
    for (std::string_view prefix : row.prefixes)
      if (!prefix.empty()) letters[static_cast<unsigned char>(prefix[0])] = true;
  return letters;
}

constexpr std::array<bool, 256> kPrefixFirstLetters = PrefixFirstLetters();

bool IsAbsolute(std::string_view path) {
  return (path.size() >= 2 && path[1] == ':') || (!path.empty() && path[0] == '\\');
}

std::string WithBackslash(std::string dir) {
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir;
}

// Appends rest to the directory path in `path`, with one backslash between them; an empty
// directory takes rest as it is.
void AppendToDirectory(std::string& path, std::string_view rest) {
  if (path.empty()) {
    path.assign(rest);
    return;
  }
  while (!rest.empty() && rest.front() == '\\') rest.remove_prefix(1);
  if (path.back() != '\\') path.push_back('\\');
  path.append(rest);
}

// Joins as AppendToDirectory does into `out`, whose room a copy line reuses from the line
// before: one size change and two copies, since every copy line joins two or three paths.
void JoinInto(std::string& out, const std::string& dir, std::string_view rest) {
  if (dir.empty()) {
    out.assign(rest);
    return;
  }
  while (!rest.empty() && rest.front() == '\\') rest.remove_prefix(1);
  const bool bSeparator = dir.back() != '\\';
  out.resize(dir.size() + (bSeparator ? 1 : 0) + rest.size());
  char* pOut = std::copy(dir.begin(), dir.end(), out.data());
  if (bSeparator) *pOut++ = '\\';
  std::copy(rest.begin(), rest.end(), pOut);
}

std::string Join(const std::string& dir, std::string_view rest) {
  std::string joined;
  JoinInto(joined, dir, rest);
  return joined;
}

std::string_view FileNameOf(std::string_view path) {
  const size_t nSlash = path.find_last_of("\\/");
  return nSlash == std::string_view::npos ? path : path.substr(nSlash + 1);
}

std::string_view DropComponents(std::string_view path, int nComponents) {
  for (int i = 0; i < nComponents; ++i) {
    const size_t nSlash = path.find('\\');
    if (nSlash == std::string_view::npos) return path;
    path.remove_prefix(nSlash + 1);
  }
  return path;
}

// Every prefix of the table starts with an upper-case ASCII letter, so a prefix whose first letter
// is not the source's first character upper-cased is passed over without a comparison.
bool StartsWithPrefixOf(std::string_view source, char cUpperFirst, const RelativePrefix& row) {
  for (std::string_view prefix : row.prefixes)
    if (!prefix.empty() && prefix[0] == cUpperFirst &&
        platform::AnsiStartsWithNoCase(source, prefix))
      return true;
  return false;
}

// The number of leading source components that a directory destination does not repeat.
int RelativePrefixLength(SetupRun& run, const std::string& destination, const std::string& source) {
  if (source.empty()) return 0;
  const char cUpperFirst = platform::AnsiUpperChar(source[0]);
  if (!kPrefixFirstLetters[static_cast<unsigned char>(cUpperFirst)]) return 0;
  int nComponents = 0;
  size_t nBest = 0;
  for (const RelativePrefix& row : kRelativePrefixes) {
    // The source prefix is checked first: most sources start with none of them, and then the
    // directory need not be looked up at all.
    if (!StartsWithPrefixOf(source, cUpperFirst, row)) continue;
    const std::string& dir = run.variables.ValueAt(row.directory);
    if (dir.size() <= nBest || !PathLiesIn(destination, dir)) continue;
    nComponents = row.nComponents;
    nBest = dir.size();
  }
  return nComponents;
}

bool IsClientRun(const SetupContext& ctx) {
  return ctx.bClientSetup || ctx.bFromCD;
}

// Whether the destination names a directory; what was found of a file there is kept for the copy.
bool NamesDirectory(SetupRun& run, const std::string& full, CopyLinePaths& paths) {
  platform::FileInfo& info = paths.destinationInfo;
  if (run.machine.Files().GetFileSizeAndTimes(full, info) != 0)
    info.dwFileAttributes = platform::INVALID_FILE_ATTRIBUTES;
  else if (info.dwFileAttributes & platform::FILE_ATTRIBUTE_DIRECTORY)
    return true;
  paths.bDestinationLookedUp = true;  // the path looked up stays the full destination
  return false;
}

// A destination moved elsewhere after the look-up is looked up again by the copy.
void MoveDestination(CopyLinePaths& paths, std::string destination) {
  paths.fullDestination = std::move(destination);
  paths.bDestinationLookedUp = false;
}

// A relative destination lies below the application directory (the client directory in client
// runs); a directory destination gets the destination-relative part of the source.
void BuildFullDestination(SetupRun& run, const std::string& destination,
                          std::string_view relativePart, uint32_t dwCopyFlags,
                          CopyLinePaths& paths) {
  std::string& full = paths.fullDestination;
  if (IsAbsolute(destination))
    full.assign(destination);
  else
    JoinInto(full, run.variables.ValueAt(IsClientRun(run.ctx) ? kClient : kApp), destination);
  const std::string& data = run.variables.ValueAt(kData);
  const bool bExactlyData =
      IsAbsolute(destination) && !data.empty() &&
      platform::AnsiEqualNoCase(WithBackslash(destination), WithBackslash(data));
  const bool bDirectory = full.empty() || full.back() == '\\' || (dwCopyFlags & COPY_DIRECTORY) ||
                          bExactlyData || NamesDirectory(run, full, paths);
  if (bDirectory) AppendToDirectory(full, relativePart);
}

std::string ReplaceSystemByWindows(SetupRun& run, const std::string& path) {
  const std::string& system = run.variables.ValueAt(kSystem);
  std::string rest = path.substr(std::min(path.size(), WithBackslash(system).size()));
  return Join(run.variables.ValueAt(kWindows), rest);
}

// The second place of a system file in an administrator setup: the destination without its
// first one or two directories after the drive.
std::string SecondCopyPath(const std::string& destination, int nComponents) {
  const size_t nRoot = destination.find('\\');
  if (nRoot == std::string::npos) return {};
  std::string second = destination.substr(0, nRoot + 1);
  second.append(
      DropComponents(std::string_view(destination).substr(nRoot + 1), nComponents < 2 ? 1 : 2));
  return second;
}

bool IsClientAlone(uint32_t dwCopyFlags) {
  return (dwCopyFlags & COPY_CLIENT) && !(dwCopyFlags & COPY_MACHINE);
}

bool IsClientAndMachine(uint32_t dwCopyFlags) {
  return (dwCopyFlags & COPY_CLIENT) && (dwCopyFlags & COPY_MACHINE);
}

// Administrator and workstation setups put the client's files where the later runs read them.
void StageClientFiles(SetupRun& run, const CopyLineFields& fields, uint32_t dwCopyFlags,
                      int nPrefix, CopyLinePaths& paths) {
  const SetupContext& ctx = run.ctx;
  const VariableStore& v = run.variables;
  if (!ctx.bAdminSetup && !(ctx.bWorkstationSetup && !ctx.bFromCD)) return;
  if (IsClientAlone(dwCopyFlags) || (ctx.bAdminSetup && IsClientAndMachine(dwCopyFlags))) {
    const std::string base = nPrefix ? v.Get("App") : Join(v.Get("App"), v.Get("ClientSrcDir"));
    MoveDestination(paths, Join(base, fields.source));
  } else if (ctx.bAdminSetup && (dwCopyFlags & COPY_SETUP)) {
    if (fields.source.starts_with("..")) paths.bSkip = true;
    MoveDestination(
        paths, Join(Join(v.Get("App"), v.Get("SetupInfDir")), FileNameOf(paths.fullDestination)));
  }
}

// Runs from an administrator installation, and user setups, read relative sources from the
// layout the administrator setup made.
void ReadFromAdminLayout(SetupRun& run, const CopyLineFields& fields, uint32_t dwCopyFlags,
                         int nPrefix, CopyLinePaths& paths) {
  const SetupContext& ctx = run.ctx;
  const VariableStore& v = run.variables;
  const bool bUserSetup = ctx.bUserPartRun && !ctx.bFromCD;
  if (!(ctx.bAdminInstallation || bUserSetup) || IsAbsolute(fields.source)) return;
  const std::string base = v.Get(bUserSetup ? "App" : "Src");
  if (dwCopyFlags & COPY_SETUP) {
    if (bUserSetup && fields.source.starts_with("..")) paths.bSkip = true;
    paths.fullSource =
        Join(Join(v.Get("Src"), v.Get("SetupInfDir")), FileNameOf(paths.fullDestination));
  } else if (IsClientAlone(dwCopyFlags) || (IsClientAndMachine(dwCopyFlags) && !ctx.bUserPartRun &&
                                            (ctx.bClientSwitch || ctx.bAdminInstallation))) {
    const std::string dir = nPrefix ? base : Join(base, v.Get("ClientSrcDir"));
    paths.fullSource = Join(dir, fields.source);
  } else if (!(dwCopyFlags & COPY_LOCALAPP) && !IsAbsolute(fields.destination)) {
    paths.fullSource = Join(base, fields.destination);
  }
}

}  // namespace

void FullSourceInto(std::string& out, const std::string& srcDir, std::string_view source) {
  if (IsAbsolute(source))
    out.assign(source);
  else
    JoinInto(out, srcDir, source);
}

CopyLinePaths ResolveCopyLinePaths(SetupRun& run, const CopyLineFields& fields,
                                   uint32_t dwCopyFlags, uint32_t dwAttributes) {
  CopyLinePaths paths;
  ResolveCopyLinePaths(run, fields, dwCopyFlags, dwAttributes, paths);
  return paths;
}

void ResolveCopyLinePaths(SetupRun& run, const CopyLineFields& fields, uint32_t dwCopyFlags,
                          uint32_t dwAttributes, CopyLinePaths& paths) {
  const SetupContext& ctx = run.ctx;
  paths.Clear();
  const int nPrefix =
      ctx.bAdminSetup ? 0 : RelativePrefixLength(run, fields.destination, fields.source);
  const std::string_view relativePart = (dwAttributes & kUseFileName)
                                            ? FileNameOf(fields.source)
                                            : DropComponents(fields.source, nPrefix);
  FullSourceInto(paths.fullSource, run.variables.ValueAt(kSrc), fields.source);
  BuildFullDestination(run, fields.destination, relativePart, dwCopyFlags, paths);
  const bool bInSystem = LiesInSystemDirectory(run, paths.fullDestination);
  if (bInSystem && !ctx.bAdminSetup && !IsSystemDirectoryWritable(run))
    MoveDestination(paths, ReplaceSystemByWindows(run, paths.fullDestination));
  if (bInSystem && CopiesSystemFilesTwice(run))
    paths.secondDestination = SecondCopyPath(paths.fullDestination, nPrefix);
  StageClientFiles(run, fields, dwCopyFlags, nPrefix, paths);
  ReadFromAdminLayout(run, fields, dwCopyFlags, nPrefix, paths);
}

}  // namespace tarvium
