// UnRAR64.dll, for the emulated machine and for Windows: the four entry points of the published RAR
// library interface, implemented over libarchive (which reads RAR 4 and RAR 5). The engine loads
// this module at run time exactly as it would load the vendor's library on Windows, so the engine's
// code path (lookup by name, callback, result codes) is the real one.
//
// libarchive cannot decrypt RAR data. An encrypted entry (or an archive with encrypted headers)
// makes the module ask the callback for the password with UCM_NEEDPASSWORD as the library does;
// without a password the answer is ERAR_MISSING_PASSWORD, with one ERAR_UNKNOWN_FORMAT, because
// the module cannot read that format of data; nothing is written for the entry either way.
// Archive comments are not read (CmtState 0); multi-volume archives are not joined.
#include <archive.h>
#include <archive_entry.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <new>
#include <optional>
#include <string>

#include "archive/unrar_api.h"
#include "entry_writer.h"
#include "rar_headers.h"

#ifdef _WIN32
#define UNRAR_EXPORT extern "C" __declspec(dllexport)
#else
#define UNRAR_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace unrar_module {
namespace {

struct OpenArchive {
  struct archive* pArchive = nullptr;
  std::string arcName;
  UNRARCALLBACK callback = nullptr;
  RAR_LPARAM userData = 0;
  RarHeaderSummary summary;
  struct archive_entry* pEntry = nullptr;  // the header read last, until it is processed
  size_t nEntry = 0;                       // its index among the file headers
  bool bEncrypted = false;                 // its data is encrypted
  std::optional<uint32_t> nDataCrc;        // the CRC32 its header holds

  ~OpenArchive() {
    if (pArchive) archive_read_free(pArchive);
  }
};

// Asks the caller for the password; true when one was given (the module cannot use it).
bool AskPassword(const OpenArchive& arc) {
  if (!arc.callback) return false;
  char szPassword[128] = {};
  const int answer = arc.callback(UCM_NEEDPASSWORD, arc.userData,
                                  reinterpret_cast<RAR_LPARAM>(szPassword), sizeof szPassword);
  return answer >= 0 && szPassword[0] != '\0';
}

int EncryptedResult(const OpenArchive& arc) {
  return AskPassword(arc) ? ERAR_UNKNOWN_FORMAT : ERAR_MISSING_PASSWORD;
}

int ReadSummary(OpenArchive& arc) {
  std::FILE* file = std::fopen(arc.arcName.c_str(), "rb");
  if (!file) return ERAR_EOPEN;
  const bool bRar = ReadRarHeaderSummary(file, arc.summary);
  std::fclose(file);
  return bRar ? ERAR_SUCCESS : ERAR_BAD_ARCHIVE;
}

int OpenWithLibarchive(OpenArchive& arc) {
  arc.pArchive = archive_read_new();
  if (!arc.pArchive) return ERAR_NO_MEMORY;
  archive_read_support_format_rar(arc.pArchive);
  archive_read_support_format_rar5(arc.pArchive);
  if (archive_read_open_filename(arc.pArchive, arc.arcName.c_str(), 64 * 1024) != ARCHIVE_OK)
    return ERAR_BAD_ARCHIVE;
  return ERAR_SUCCESS;
}

int OpenArchiveFor(OpenArchive& arc, RAROpenArchiveDataEx& data) {
  if (int r = ReadSummary(arc); r != ERAR_SUCCESS) return r;
  data.Flags = arc.summary.nArchiveFlags;
  data.CmtSize = 0;
  data.CmtState = 0;
  if (arc.summary.nArchiveFlags & ROADF_ENCHEADERS) return EncryptedResult(arc);
  return OpenWithLibarchive(arc);
}

// UTF-8 to the 8-bit text of the header structure: Latin-1 characters kept, others '?'.
void CopyNarrowName(const char* pszUtf8, char (&out)[260]) {
  size_t n = 0;
  for (const auto* p = reinterpret_cast<const unsigned char*>(pszUtf8); *p && n + 1 < sizeof out;) {
    unsigned c = *p++;
    if (c >= 0x80) {
      const bool bLatin1 = (c & 0xFE) == 0xC2 && (*p & 0xC0) == 0x80;
      c = bLatin1 ? ((c & 0x03) << 6) | (*p++ & 0x3F) : '?';
      while ((*p & 0xC0) == 0x80) ++p;
    }
    out[n++] = c == '/' ? '\\' : static_cast<char>(c);
  }
  out[n] = '\0';
}

// The local time of t; false when it has none.
bool LocalTimeOf(time_t t, struct tm& local) {
#ifdef _WIN32
  return localtime_s(&local, &t) == 0;
#else
  return localtime_r(&t, &local) != nullptr;
#endif
}

unsigned DosTimeOf(time_t t) {
  struct tm local {};
  if (!LocalTimeOf(t, local) || local.tm_year < 80) return 0;
  return unsigned(local.tm_year - 80) << 25 | unsigned(local.tm_mon + 1) << 21 |
         unsigned(local.tm_mday) << 16 | unsigned(local.tm_hour) << 11 |
         unsigned(local.tm_min) << 5 | unsigned(local.tm_sec / 2);
}

void FillHeader(const OpenArchive& arc, RARHeaderData& header) {
  struct archive_entry* e = arc.pEntry;
  std::memset(header.ArcName, 0, sizeof header.ArcName);
  std::strncpy(header.ArcName, arc.arcName.c_str(), sizeof header.ArcName - 1);
  const char* pszName = archive_entry_pathname_utf8(e);
  CopyNarrowName(pszName ? pszName : "", header.FileName);
  const bool bDirectory = archive_entry_filetype(e) == AE_IFDIR;
  header.Flags = (arc.bEncrypted ? RHDF_ENCRYPTED : 0) | (bDirectory ? RHDF_DIRECTORY : 0);
  const auto nSize = static_cast<unsigned>(archive_entry_size(e));
  header.PackSize = nSize;
  header.UnpSize = nSize;
  header.HostOS = 2;
  header.FileCRC = 0;
  header.FileTime = DosTimeOf(archive_entry_mtime(e));
  header.UnpVer = 29;
  header.Method = 0x30;
  header.FileAttr = bDirectory ? 0x10 : 0x20;
  header.CmtSize = 0;
  header.CmtState = 0;
}

int ExtractCurrent(OpenArchive& arc, const char* pszDestPath, const char* pszDestName) {
  const char* pszName = archive_entry_pathname_utf8(arc.pEntry);
  if (pszDestName && *pszDestName) {  // a full target name chosen by the caller
    const std::string target = pszDestName;
    const size_t nSlash = target.find_last_of("/\\");
    const std::string dir = nSlash == std::string::npos ? "." : target.substr(0, nSlash);
    return WriteEntryBelow(dir, target.substr(nSlash + 1), arc.pArchive, arc.pEntry, arc.nDataCrc);
  }
  return WriteEntryBelow(pszDestPath ? pszDestPath : ".",
                         SanitiseStoredName(pszName ? pszName : ""), arc.pArchive, arc.pEntry,
                         arc.nDataCrc);
}

}  // namespace
}  // namespace unrar_module

using unrar_module::OpenArchive;

UNRAR_EXPORT RAR_HANDLE RAROpenArchiveEx(struct RAROpenArchiveDataEx* pData) {
  if (!pData) return nullptr;
  try {
    auto* pArc = new OpenArchive;
    pArc->arcName = pData->ArcName ? pData->ArcName : "";
    pArc->callback = pData->Callback;
    pArc->userData = pData->UserData;
    pData->OpenResult = unrar_module::OpenArchiveFor(*pArc, *pData);
    if (pData->OpenResult == ERAR_SUCCESS) return pArc;
    delete pArc;
  } catch (const std::bad_alloc&) {
    pData->OpenResult = ERAR_NO_MEMORY;
  } catch (...) {
    pData->OpenResult = ERAR_UNKNOWN;
  }
  return nullptr;
}

UNRAR_EXPORT int RARCloseArchive(RAR_HANDLE hArcData) {
  delete static_cast<OpenArchive*>(hArcData);
  return ERAR_SUCCESS;
}

UNRAR_EXPORT int RARReadHeader(RAR_HANDLE hArcData, struct RARHeaderData* pHeader) {
  auto* pArc = static_cast<OpenArchive*>(hArcData);
  if (!pArc || !pHeader) return ERAR_UNKNOWN;
  if (pArc->pEntry) ++pArc->nEntry;  // the previous header was not processed; libarchive skips it
  const int r = archive_read_next_header(pArc->pArchive, &pArc->pEntry);
  if (r == ARCHIVE_EOF || r < ARCHIVE_WARN) {
    pArc->pEntry = nullptr;
    return r == ARCHIVE_EOF ? ERAR_END_ARCHIVE : ERAR_BAD_DATA;
  }
  const auto& entries = pArc->summary.entries;
  const bool bKnown = pArc->nEntry < entries.size();
  pArc->bEncrypted =
      archive_entry_is_data_encrypted(pArc->pEntry) || (bKnown && entries[pArc->nEntry].bEncrypted);
  pArc->nDataCrc = bKnown ? entries[pArc->nEntry].nDataCrc : std::nullopt;
  try {
    unrar_module::FillHeader(*pArc, *pHeader);
  } catch (...) {
    return ERAR_UNKNOWN;
  }
  return ERAR_SUCCESS;
}

UNRAR_EXPORT int RARProcessFile(RAR_HANDLE hArcData, int nOperation, char* pszDestPath,
                                char* pszDestName) {
  auto* pArc = static_cast<OpenArchive*>(hArcData);
  if (!pArc || !pArc->pEntry) return ERAR_UNKNOWN;
  try {
    int result = ERAR_SUCCESS;
    if (nOperation != RAR_SKIP && pArc->bEncrypted)
      result = unrar_module::EncryptedResult(*pArc);
    else if (nOperation == RAR_TEST)
      result = unrar_module::TestEntryData(pArc->pArchive, pArc->nDataCrc);
    else if (nOperation == RAR_EXTRACT)
      result = unrar_module::ExtractCurrent(*pArc, pszDestPath, pszDestName);
    pArc->pEntry = nullptr;  // the next RARReadHeader skips whatever data is left
    ++pArc->nEntry;
    return result;
  } catch (const std::bad_alloc&) {
    return ERAR_NO_MEMORY;
  } catch (...) {
    return ERAR_UNKNOWN;
  }
}
