// Cabinets and SZDD files through libmspack. A cabinet set is opened once per run: its first
// cabinet, then each following one that the headers name (beside the first), appended so that
// folders spanning cabinets become one; the members are indexed by their upper-cased paths, so a
// lookup costs the same whatever the set holds. The decompressor remembers where it stopped in a
// folder, which is why the sets stay open: the next member of the same folder continues the
// decompression instead of starting the folder again.
#include "install/cabinet_files.h"

#include <list>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "install/mspack_io.h"
#include "platform/ansi_case.h"
#include "platform/code_page.h"

namespace tarvium {

namespace {

constexpr size_t kMaxCabinetsInSet = 1000;
constexpr uint32_t kPlainReadBlock = 65536;
constexpr uint32_t kCabinetAttributes =
    platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN |
    platform::FILE_ATTRIBUTE_SYSTEM | platform::FILE_ATTRIBUTE_ARCHIVE;
constexpr int kUtf8NameAttribute = 0x80;  // MSCAB_ATTRIB_UTF_NAME

// Member names compared as Windows does: without case, either slash, no leading slash.
std::string MemberKey(std::string_view name) {
  while (!name.empty() && (name.front() == '\\' || name.front() == '/')) name.remove_prefix(1);
  std::string key = platform::AnsiUpper(name);
  for (char& c : key)
    if (c == '/') c = '\\';
  return key;
}

std::string DirectoryOf(const std::string& path) {
  const size_t nSlash = path.find_last_of("\\/");
  return nSlash == std::string::npos ? std::string() : path.substr(0, nSlash + 1);
}

struct SetMember {
  mscabd_file* file = nullptr;
  uint32_t nCabinet = 0;  // the last cabinet of the set (0: the first) that lists the member
};

struct CabinetSet {
  // The library keeps the name it opened a cabinet with and opens it again by that name when a
  // folder continues there: the names live as long as the set, at addresses that do not move.
  std::list<std::string> paths;
  std::vector<mscabd_cabinet*> cabinets;  // the first and every one appended to it
  std::unordered_map<std::string, SetMember> members;
  uint32_t dwError = platform::ERROR_SUCCESS;  // why the first cabinet could not be read
};

// A cabinet after the first of an open set: the set's key and the cabinet's place in it.
struct FollowingCabinet {
  std::string setKey;
  uint32_t nCabinet = 0;
};

}  // namespace

// The open sets of a run, by the upper-cased path of their first cabinet.
struct CabinetSets {
  explicit CabinetSets(platform::FileSystem& files)
      : io(files), pDecompressor(mspack_create_cab_decompressor(&io.sys)) {}
  ~CabinetSets() {
    if (!pDecompressor) return;
    // Closing the first cabinet of a set frees the cabinets appended to it as well.
    for (auto& [path, set] : sets)
      if (!set.cabinets.empty()) pDecompressor->close(pDecompressor, set.cabinets.front());
    mspack_destroy_cab_decompressor(pDecompressor);
  }
  CabinetSets(const CabinetSets&) = delete;
  CabinetSets& operator=(const CabinetSets&) = delete;

  MspackIo io;
  mscab_decompressor* pDecompressor;
  std::unordered_map<std::string, CabinetSet> sets;
  std::unordered_map<std::string, FollowingCabinet> following;  // by upper-cased path
};

namespace {

std::string MemberName(const mscabd_file& file) {
  return (file.attribs & kUtf8NameAttribute) ? platform::Utf8ToAnsi(file.filename)
                                             : std::string(file.filename);
}

// Notes the cabinet in which each member of a cabinet is listed, the later one for a member
// that runs from one cabinet into the next (it is listed in both).
void NoteCabinetOfMembers(const mscabd_cabinet& cabinet, uint32_t nCabinet,
                          std::unordered_map<std::string, uint32_t>& cabinetOf) {
  for (const mscabd_file* file = cabinet.files; file; file = file->next)
    cabinetOf[MemberKey(MemberName(*file))] = nCabinet;
}

// Appends the cabinets that follow the last one, as long as each is there and continues the set.
void AppendFollowingCabinets(CabinetSets& state, const std::string& dir, CabinetSet& set,
                             std::unordered_map<std::string, uint32_t>& cabinetOf) {
  mscab_decompressor* d = state.pDecompressor;
  std::unordered_set<std::string> seen{MemberKey(set.cabinets.front()->filename)};
  while (set.cabinets.size() < kMaxCabinetsInSet) {
    mscabd_cabinet* last = set.cabinets.back();
    if (!(last->flags & MSCAB_HDR_NEXTCAB) || !last->nextname) return;
    const std::string& nextPath = set.paths.emplace_back(dir + last->nextname);
    if (!seen.insert(MemberKey(nextPath)).second) return;
    mscabd_cabinet* next = d->open(d, nextPath.c_str());
    if (!next) return;
    const auto nCabinet = static_cast<uint32_t>(set.cabinets.size());
    NoteCabinetOfMembers(*next, nCabinet, cabinetOf);  // the list is merged away by the append
    if (d->append(d, last, next) != MSPACK_ERR_OK) {
      d->close(d, next);
      return;
    }
    set.cabinets.push_back(next);
  }
}

void IndexMembers(CabinetSet& set, const std::unordered_map<std::string, uint32_t>& cabinetOf) {
  for (mscabd_file* file = set.cabinets.front()->files; file; file = file->next) {
    std::string key = MemberKey(MemberName(*file));
    const auto later = cabinetOf.find(key);
    const uint32_t nCabinet = later == cabinetOf.end() ? 0 : later->second;
    set.members.try_emplace(std::move(key), SetMember{file, nCabinet});  // the first entry wins
  }
}

// Lets the cabinets after the first name the set as well.
void NoteFollowingCabinets(CabinetSets& state, const std::string& setKey, const CabinetSet& set) {
  uint32_t nCabinet = 0;
  for (const std::string& path : set.paths) {
    if (nCabinet > 0 && nCabinet < set.cabinets.size())
      state.following.try_emplace(MemberKey(path), FollowingCabinet{setKey, nCabinet});
    ++nCabinet;
  }
}

CabinetSets& SetsOf(SetupRun& run) {
  InstallEngine& engine = EngineOf(run);
  if (!engine.cabinets) engine.cabinets = std::make_shared<CabinetSets>(run.machine.Files());
  return *engine.cabinets;
}

// The set that `cabinet` belongs to, opened when it is not yet; nFirst tells which cabinet of the
// set the caller named.
CabinetSet& OpenSet(SetupRun& run, const std::string& cabinet, uint32_t& nFirst) {
  CabinetSets& state = SetsOf(run);
  std::string key = MemberKey(cabinet);
  nFirst = 0;
  if (const auto found = state.following.find(key); found != state.following.end()) {
    nFirst = found->second.nCabinet;
    key = found->second.setKey;
  }
  const auto [it, bNew] = state.sets.try_emplace(key);
  CabinetSet& set = it->second;
  if (!bNew) return set;
  mscab_decompressor* d = state.pDecompressor;
  if (!d) {
    set.dwError = platform::ERROR_NOT_ENOUGH_MEMORY;
    return set;
  }
  mscabd_cabinet* first = d->open(d, set.paths.emplace_back(cabinet).c_str());
  if (!first) {
    set.dwError = WindowsErrorOfMspack(state.io, d->last_error(d));
    return set;
  }
  set.cabinets.push_back(first);
  std::unordered_map<std::string, uint32_t> cabinetOf;
  AppendFollowingCabinets(state, DirectoryOf(cabinet), set, cabinetOf);
  IndexMembers(set, cabinetOf);
  NoteFollowingCabinets(state, key, set);
  return set;
}

// The member's path inside the set: a full source path below the cabinet's directory loses it.
std::string MemberPath(const std::string& cabinet, const std::string& member) {
  const std::string dir = DirectoryOf(cabinet);
  if (!dir.empty() && platform::AnsiStartsWithNoCase(member, dir)) return member.substr(dir.size());
  return member;
}

uint16_t DosDate(const mscabd_file& file) {
  const int nYear = file.date_y < 1980 ? 0 : file.date_y - 1980;
  return static_cast<uint16_t>((nYear << 9) | ((file.date_m & 0xF) << 5) | (file.date_d & 0x1F));
}

uint16_t DosTime(const mscabd_file& file) {
  return static_cast<uint16_t>(((file.time_h & 0x1F) << 11) | ((file.time_m & 0x3F) << 5) |
                               ((file.time_s / 2) & 0x1F));
}

CabinetFileInfo InfoOf(const SetMember& member, uint32_t nFirst) {
  const mscabd_file& file = *member.file;
  CabinetFileInfo info;
  info.nLaterCabinets = member.nCabinet > nFirst ? member.nCabinet - nFirst : 0;
  info.nSize = file.length;
  info.wDosDate = DosDate(file);
  info.wDosTime = DosTime(file);
  info.dwAttributes = static_cast<uint32_t>(file.attribs) & kCabinetAttributes;
  return info;
}

// The member and what the cabinet stores about it; null with dwError when it cannot be had.
mscabd_file* FindMember(SetupRun& run, const std::string& cabinet, const std::string& member,
                        uint32_t& dwError, CabinetFileInfo& info) {
  uint32_t nFirst = 0;
  CabinetSet& set = OpenSet(run, cabinet, nFirst);
  dwError = set.dwError;
  if (dwError) return nullptr;
  const auto found = set.members.find(MemberKey(MemberPath(cabinet, member)));
  if (found == set.members.end()) {
    dwError = platform::ERROR_FILE_NOT_FOUND;
    return nullptr;
  }
  info = InfoOf(found->second, nFirst);
  return found->second.file;
}

// Streams a file that is not SZDD-compressed as it is.
uint32_t ReadPlainFile(platform::FileSystem& files, const std::string& path, const ByteSink& sink) {
  platform::FileHandle hFile;
  if (const uint32_t err =
          files.CreateFile(path, platform::GENERIC_READ, platform::OPEN_EXISTING, 0, hFile))
    return err;
  std::vector<uint8_t> buffer(kPlainReadBlock);
  uint32_t dwResult = platform::ERROR_SUCCESS;
  while (true) {
    uint32_t nRead = 0;
    if (files.ReadFile(hFile, buffer.data(), kPlainReadBlock, nRead) != 0) {
      dwResult = platform::ERROR_READ_FAULT;
      break;
    }
    if (nRead == 0) break;
    if (!sink(buffer.data(), nRead)) {
      dwResult = platform::ERROR_CANCELLED;
      break;
    }
  }
  files.CloseHandle(hFile);
  return dwResult;
}

bool HasSzddSignature(platform::FileSystem& files, const std::string& path, uint32_t& dwError) {
  static constexpr uint8_t kSignature[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
  platform::FileHandle hFile;
  dwError = files.CreateFile(path, platform::GENERIC_READ, platform::OPEN_EXISTING, 0, hFile);
  if (dwError) return false;
  uint8_t header[8] = {};
  uint32_t nRead = 0;
  const bool bRead = files.ReadFile(hFile, header, sizeof header, nRead) == 0;
  files.CloseHandle(hFile);
  return bRead && nRead == sizeof header &&
         std::equal(std::begin(header), std::end(header), std::begin(kSignature));
}

uint32_t ExpandSzdd(platform::FileSystem& files, const std::string& path, const ByteSink& sink) {
  MspackIo io(files);
  msszdd_decompressor* d = mspack_create_szdd_decompressor(&io.sys);
  if (!d) return platform::ERROR_NOT_ENOUGH_MEMORY;
  uint32_t dwResult = platform::ERROR_SUCCESS;
  msszddd_header* header = d->open(d, path.c_str());
  if (!header) {
    dwResult = WindowsErrorOfMspack(io, d->last_error(d));
  } else {
    // The decoder fills a missing end with zeros; the stated length tells a cut file apart.
    uint64_t nWritten = 0;
    const ByteSink counting = [&](const uint8_t* pData, size_t nSize) {
      nWritten += nSize;
      return sink(pData, nSize);
    };
    io.pSink = &counting;
    dwResult = WindowsErrorOfMspack(io, d->extract(d, header, kSinkFileName));
    if (!dwResult && nWritten != static_cast<uint64_t>(header->length))
      dwResult = platform::ERROR_BAD_FORMAT;
    d->close(d, header);
  }
  mspack_destroy_szdd_decompressor(d);
  return dwResult;
}

}  // namespace

uint32_t FindCabinetFile(SetupRun& run, const std::string& cabinet, const std::string& member,
                         CabinetFileInfo& info) {
  uint32_t dwError = 0;
  FindMember(run, cabinet, member, dwError, info);
  return dwError;
}

uint32_t ExtractCabinetFile(SetupRun& run, const std::string& cabinet, const std::string& member,
                            const ByteSink& sink, CabinetFileInfo& info) {
  uint32_t dwError = 0;
  mscabd_file* file = FindMember(run, cabinet, member, dwError, info);
  if (!file) return dwError;
  CabinetSets& state = SetsOf(run);
  uint64_t nWritten = 0;
  const ByteSink counting = [&](const uint8_t* pData, size_t nSize) {
    nWritten += nSize;
    return sink(pData, nSize);
  };
  state.io.pSink = &counting;
  state.io.bSinkStopped = false;
  const int nError = state.pDecompressor->extract(state.pDecompressor, file, kSinkFileName);
  state.io.pSink = nullptr;
  dwError = WindowsErrorOfMspack(state.io, nError);
  if (!dwError && nWritten != file->length) dwError = platform::ERROR_BAD_FORMAT;
  return dwError;
}

void CloseCabinets(SetupRun& run) {
  EngineOf(run).cabinets.reset();
}

uint32_t ExpandFile(SetupRun& run, const std::string& path, const ByteSink& sink,
                    bool& bCompressed) {
  platform::FileSystem& files = run.machine.Files();
  uint32_t dwError = 0;
  bCompressed = HasSzddSignature(files, path, dwError);
  if (dwError) return dwError;
  return bCompressed ? ExpandSzdd(files, path, sink) : ReadPlainFile(files, path, sink);
}

}  // namespace tarvium
