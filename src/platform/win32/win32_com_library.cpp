// Win32ComLibrary: LoadLibrary("OLE32.DLL") keeps the library loaded for the machine's lifetime;
// its version is the fixed file information of the module's own file. Type libraries are loaded
// with LoadTypeLibEx, which takes a UTF-16 path; unregistration asks the library for its
// attributes first, because UnRegisterTypeLib names a library by identity, not by file.
#include "platform/win32/win32_com_library.h"

#include <string>
#include <vector>

#include "platform/win32/win32_wide_text.h"
#include "platform/win32/windows_api.h"
// After <windows.h>, which they need.
#include <oleauto.h>

namespace platform::win32 {
namespace {

uint32_t LastError() {
  const DWORD err = ::GetLastError();
  return err != ERROR_SUCCESS ? err : ERROR_GEN_FAILURE;
}

// LoadTypeLibEx with the registration kind; the library's interface, to be released.
HRESULT LoadLibraryOfTypes(const std::string& path, REGKIND kind, ITypeLib*& pLibrary) {
  pLibrary = nullptr;
  const std::wstring widePath = WideFromAnsi(path);
  return ::LoadTypeLibEx(widePath.c_str(), kind, &pLibrary);
}

}  // namespace

Win32ComLibrary::~Win32ComLibrary() {
  if (hOle32_) ::FreeLibrary(static_cast<HMODULE>(hOle32_));
}

uint32_t Win32ComLibrary::Load() {
  if (hOle32_) return ERROR_SUCCESS;
  hOle32_ = ::LoadLibraryA("OLE32.DLL");
  return hOle32_ ? ERROR_SUCCESS : LastError();
}

uint32_t Win32ComLibrary::GetVersion(uint64_t& qwVersion) {
  qwVersion = 0;
  if (uint32_t err = Load(); err != ERROR_SUCCESS) return err;
  char path[MAX_PATH];
  const DWORD nLength = ::GetModuleFileNameA(static_cast<HMODULE>(hOle32_), path, sizeof path);
  if (nLength == 0 || nLength >= sizeof path) return LastError();
  DWORD dwHandle = 0;
  const DWORD nSize = ::GetFileVersionInfoSizeA(path, &dwHandle);
  if (nSize == 0) return LastError();
  std::vector<char> block(nSize);
  if (!::GetFileVersionInfoA(path, 0, nSize, block.data())) return LastError();
  VS_FIXEDFILEINFO* pFixed = nullptr;
  UINT nFixed = 0;
  if (!::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&pFixed), &nFixed) ||
      nFixed < sizeof *pFixed)
    return ERROR_RESOURCE_TYPE_NOT_FOUND;
  qwVersion = uint64_t{pFixed->dwFileVersionMS} << 32 | pFixed->dwFileVersionLS;
  return ERROR_SUCCESS;
}

int32_t Win32ComLibrary::Initialize() {
  return ::CoInitialize(nullptr);
}

void Win32ComLibrary::Uninitialize() {
  ::CoUninitialize();
}

int32_t Win32ComLibrary::RegisterTypeLib(const std::string& path) {
  ITypeLib* pLibrary = nullptr;
  const HRESULT hr = LoadLibraryOfTypes(path, REGKIND_REGISTER, pLibrary);
  if (pLibrary) pLibrary->Release();
  return hr;
}

int32_t Win32ComLibrary::UnregisterTypeLib(const std::string& path) {
  ITypeLib* pLibrary = nullptr;
  HRESULT hr = LoadLibraryOfTypes(path, REGKIND_NONE, pLibrary);
  if (FAILED(hr)) return hr;
  TLIBATTR* pAttr = nullptr;
  hr = pLibrary->GetLibAttr(&pAttr);
  if (SUCCEEDED(hr)) {
    hr = ::UnRegisterTypeLib(pAttr->guid, pAttr->wMajorVerNum, pAttr->wMinorVerNum, pAttr->lcid,
                             pAttr->syskind);
    pLibrary->ReleaseTLibAttr(pAttr);
  }
  pLibrary->Release();
  return hr;
}

}  // namespace platform::win32
