// Fuzzes the RAR module over hostile archives: its own header walk, libarchive's RAR 4 and RAR 5
// readers behind it, and the data check of every entry (tested, never written). The input goes
// to a file of the temporary folder, as the module opens archives by name.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "archive/unrar_api.h"

extern "C" RAR_HANDLE RAROpenArchiveEx(struct RAROpenArchiveDataEx* pData);
extern "C" int RARCloseArchive(RAR_HANDLE hArcData);
extern "C" int RARReadHeader(RAR_HANDLE hArcData, struct RARHeaderData* pHeader);
extern "C" int RARProcessFile(RAR_HANDLE hArcData, int nOperation, char* pszDestPath,
                              char* pszDestName);

namespace {

int AnswerPassword(unsigned int msg, RAR_LPARAM, RAR_LPARAM p1, RAR_LPARAM p2) {
  if (msg != UCM_NEEDPASSWORD || p2 < 2) return 0;
  reinterpret_cast<char*>(p1)[0] = 'x';
  reinterpret_cast<char*>(p1)[1] = '\0';
  return 1;
}

}  // namespace

// The archive file of this process in the temporary folder (TMPDIR when set), removed at exit.
class ArchiveFile {
 public:
  ArchiveFile()
      : path_((std::filesystem::temp_directory_path() /
               ("unrar-module-fuzz-" + std::to_string(::getpid()) + ".rar"))
                  .string()) {}
  ~ArchiveFile() { std::remove(path_.c_str()); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  static const ArchiveFile archive;
  const std::string& path = archive.Path();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(pData, 1, nSize, file);
  std::fclose(file);

  RAROpenArchiveDataEx open{};
  open.ArcName = const_cast<char*>(path.c_str());
  open.OpenMode = RAR_OM_EXTRACT;
  open.Callback = AnswerPassword;
  RAR_HANDLE hArchive = RAROpenArchiveEx(&open);
  if (!hArchive) return 0;
  RARHeaderData header{};
  for (int n = 0; n < 1000 && RARReadHeader(hArchive, &header) == ERAR_SUCCESS; ++n)
    RARProcessFile(hArchive, RAR_TEST, nullptr, nullptr);
  RARCloseArchive(hArchive);
  return 0;
}
