// The Unrar operation. The library does its own file work, so the archive and the destination are
// handed over as the paths the module understands (on the emulated machine host paths); a
// destination on a read-only drive is never handed over, and each entry then fails as the
// library fails to create a file there.
#include "archive/unpack_rar.h"

#include <cstring>
#include <vector>

#include "archive/archive_trace.h"
#include "archive/entry_pump.h"
#include "archive/rar_library.h"
#include "archive/rar_module_check.h"
#include "archive/rar_texts.h"
#include "engine/setup_run.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

constexpr unsigned kCommentBuffer = 16380;
constexpr size_t kRarPasswordBuffer = 128;  // 127 characters and the terminator

// The callback's user data: the password buffer, with the run beside it to trace on.
struct RarPassword {
  char szPassword[kRarPasswordBuffer] = {};
  SetupRun* pRun = nullptr;
};

int AnswerPasswordRequest(RarPassword& password, char* pszBuffer, size_t nBufferSize) {
  SetupRun& run = *password.pRun;
  TraceArchive(run, "Password required as char");
  if (pszBuffer && nBufferSize > 0) {
    std::strncpy(pszBuffer, password.szPassword, nBufferSize - 1);
    pszBuffer[nBufferSize - 1] = '\0';
  }
  TraceArchive(run, "Password %s", password.szPassword[0] ? "is set" : "is not set");
  return 1;
}

int RarCallback(unsigned int msg, RAR_LPARAM userData, RAR_LPARAM p1, RAR_LPARAM p2) {
  auto* pPassword = reinterpret_cast<RarPassword*>(userData);
  if (msg != UCM_NEEDPASSWORD || !pPassword) return 0;
  try {
    return AnswerPasswordRequest(*pPassword, reinterpret_cast<char*>(p1),
                                 p2 > 0 ? static_cast<size_t>(p2) : 0);
  } catch (...) {  // nothing may unwind through the library's frames
    return -1;
  }
}

void TakePassword(SetupRun& run, const std::string& password, RarPassword& buffer) {
  buffer.pRun = &run;
  if (password.empty()) return;
  if (password.size() >= kRarPasswordBuffer) {
    TraceArchive(run, "Password is longer than 127 characters and can't be used!");
    return;
  }
  std::memcpy(buffer.szPassword, password.c_str(), password.size() + 1);
  TraceArchive(run, "Password provided");
}

void TraceArchiveFlags(SetupRun& run, unsigned int flags) {
  auto yesNo = [flags](unsigned int bit) { return (flags & bit) ? "yes" : "no"; };
  TraceArchive(run, "Volume: %s", yesNo(ROADF_VOLUME));
  TraceArchive(run, "Comment: %s", yesNo(ROADF_COMMENT));
  TraceArchive(run, "Locked: %s", yesNo(ROADF_LOCK));
  TraceArchive(run, "Solid: %s", yesNo(ROADF_SOLID));
  TraceArchive(run, "New naming: %s", yesNo(ROADF_NEWNUMBERING));
  TraceArchive(run, "Recovery: %s", yesNo(ROADF_RECOVERY));
  TraceArchive(run, "Encr.headers: %s", yesNo(ROADF_ENCHEADERS));
  TraceArchive(run, "First volume: %s",
               (flags & ROADF_FIRSTVOLUME) ? "yes" : "no or older than 3.0");
  TraceArchive(run, "---------------------------");
}

// Closes the open archive whichever way extraction ends.
class OpenRarArchive {
 public:
  OpenRarArchive(RarLibrary& library, RAR_HANDLE hArchive) : library_(library), h_(hArchive) {}
  ~OpenRarArchive() { library_.pCloseArchive(h_); }
  OpenRarArchive(const OpenRarArchive&) = delete;
  OpenRarArchive& operator=(const OpenRarArchive&) = delete;
  RAR_HANDLE Get() const { return h_; }

 private:
  RarLibrary& library_;
  RAR_HANDLE h_;
};

struct Destination {
  std::string foreignPath;  // as the module understands it
  bool bWritable = false;   // false: the drive is read-only, nothing is handed to the module
};

int ExtractEntry(RarLibrary& library, RAR_HANDLE hArchive, Destination& destination) {
  if (!destination.bWritable) {
    library.pProcessFile(hArchive, RAR_SKIP, nullptr, nullptr);
    return ERAR_ECREATE;
  }
  return library.pProcessFile(hArchive, RAR_EXTRACT, destination.foreignPath.data(), nullptr);
}

bool ExtractEntries(SetupRun& run, RarLibrary& library, RAR_HANDLE hArchive,
                    const std::string& archive, Destination& destination) {
  bool bResult = false;
  RARHeaderData header{};
  while (!run.ctx.bAborted && library.pReadHeader(hArchive, &header) == ERAR_SUCCESS) {
    TraceArchive(run, "Extracting %-45s", header.FileName);
    const int nCode = ExtractEntry(library, hArchive, destination);
    if (nCode != ERAR_SUCCESS) {
      TraceArchive(run, "%s", RarErrorText(nCode, false, archive).c_str());
      return false;
    }
    TraceArchive(run, "success");
    bResult = true;
    PumpBetweenEntries(run);
  }
  return bResult;
}

// Steps from loading the module to unloading it.
bool ExtractArchive(SetupRun& run, const std::string& modulePath, const std::string& archive,
                    const std::string& destination, const std::string& password) {
  RarLibrary library(run);
  if (!library.Load(modulePath)) return false;
  RarPassword passwordBuffer;
  TakePassword(run, password, passwordBuffer);
  TraceArchive(run, "Extract archive '%s' to '%s'", archive.c_str(), destination.c_str());

  std::string arcForeignPath;
  run.machine.Libraries().GetForeignPath(archive, false, arcForeignPath);
  Destination dest;
  dest.bWritable = run.machine.Libraries().GetForeignPath(destination, true, dest.foreignPath) ==
                   platform::ERROR_SUCCESS;
  std::vector<char> comment(kCommentBuffer);
  RAROpenArchiveDataEx data{};
  data.ArcName = arcForeignPath.data();
  data.OpenMode = RAR_OM_EXTRACT;
  data.CmtBuf = comment.data();
  data.CmtBufSize = kCommentBuffer;
  data.Callback = RarCallback;
  data.UserData = reinterpret_cast<RAR_LPARAM>(&passwordBuffer);
  RAR_HANDLE hArchive = library.pOpenArchiveEx(&data);
  if (!hArchive) {
    const int nCode = data.OpenResult != ERAR_SUCCESS ? int(data.OpenResult) : ERAR_UNKNOWN;
    TraceArchive(run, "%s", RarErrorText(nCode, true, archive).c_str());
    return false;
  }
  OpenRarArchive open(library, hArchive);
  TraceArchiveFlags(run, data.Flags);
  return ExtractEntries(run, library, open.Get(), archive, dest);
}

}  // namespace

bool UnpackRar(SetupRun& run, const std::string& moduleFolder, const std::string& archive,
               const std::string& destination, const std::string& password) {
  std::string modulePath;
  if (!LocateRarModule(run, moduleFolder, modulePath) || !VerifyRarModule(run, modulePath))
    return false;
  try {
    return ExtractArchive(run, modulePath, archive, destination, password);
  } catch (...) {
    TraceArchive(run, "Exception caught in function ExtractArchive");
    return false;
  }
}

}  // namespace tarvium
