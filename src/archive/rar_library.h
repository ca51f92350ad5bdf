// The loaded RAR library: the module and its four entry points, filled when the module is loaded
// and cleared (entry points set to none, module unloaded) when the record goes out of scope, so
// every Unrar operation loads and unloads the library once, whatever way it ends.
#pragma once
#include <string>

#include "archive/unrar_api.h"
#include "platform/modules.h"

namespace tarvium {

struct SetupRun;

class RarLibrary {
 public:
  explicit RarLibrary(SetupRun& run) : run_(run) {}
  ~RarLibrary() { Unload(); }
  RarLibrary(const RarLibrary&) = delete;
  RarLibrary& operator=(const RarLibrary&) = delete;

  // Loads the module and looks up open, close, read header and process file in that order;
  // traces the first failure. False when anything is missing.
  bool Load(const std::string& modulePath);
  void Unload();

  RAROpenArchiveExProc pOpenArchiveEx = nullptr;
  RARCloseArchiveProc pCloseArchive = nullptr;
  RARReadHeaderProc pReadHeader = nullptr;
  RARProcessFileProc pProcessFile = nullptr;

 private:
  template <class Proc>
  bool LookUp(const char* pszName, Proc& proc);

  SetupRun& run_;
  platform::ModuleHandle hModule_ = platform::ModuleHandle::Invalid;
};

}  // namespace tarvium
