// The .NET Framework 4 runtime's directory as the runtime host (mscoree.dll, loaded at run time)
// reports it: through the metahost's runtime "v4.0.30319", or, from a host that has no metahost
// or does not know that runtime, through GetCORSystemDirectory. The host is asked only when the
// runtime's folder is there: a host without a runtime behind it (Wine's without its Mono) fails
// inside its own calls. The metahost's interfaces are declared here by their layout, since the
// system's headers of this tool chain lack them.
#include <array>
#include <string>

#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_wide_text.h"
#include "platform/win_error.h"

#include "platform/win32/windows_api.h"

#include <unknwn.h>

namespace platform::win32 {
namespace {

constexpr GUID kClsidClrMetaHost = {
    0x9280188d, 0x0e8e, 0x4867, {0xb3, 0x0c, 0x7f, 0xa8, 0x38, 0x84, 0xe8, 0xde}};
constexpr GUID kIidClrMetaHost = {
    0xd332db9e, 0xb9b3, 0x4125, {0x82, 0x07, 0xa1, 0x48, 0x84, 0xf5, 0x32, 0x16}};
constexpr GUID kIidClrRuntimeInfo = {
    0xbd39d1d2, 0xba2f, 0x486a, {0x89, 0xb0, 0xb4, 0xb0, 0xcb, 0x46, 0x68, 0x91}};
constexpr const wchar_t* kRuntimeVersion = L"v4.0.30319";

// The first methods of ICLRRuntimeInfo and ICLRMetaHost, in their order; the rest is not called.
// COM objects end through Release, never through a destructor of the caller's.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
struct ClrRuntimeInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetVersionString(LPWSTR pwzBuffer, DWORD* pcchBuffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRuntimeDirectory(LPWSTR pwzBuffer, DWORD* pcchBuffer) = 0;
};
struct ClrMetaHost : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetRuntime(LPCWSTR pwzVersion, REFIID riid,
                                               void** ppRuntime) = 0;
};
#pragma GCC diagnostic pop

using CreateInstanceProc = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using SystemDirectoryProc = HRESULT(WINAPI*)(LPWSTR, DWORD, DWORD*);

template <class Proc>
Proc EntryOf(HMODULE hModule, const char* pszName) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(hModule, pszName)));
}

std::wstring MetaHostDirectory(HMODULE hHost) {
  const auto pfnCreate = EntryOf<CreateInstanceProc>(hHost, "CLRCreateInstance");
  ClrMetaHost* pMetaHost = nullptr;
  if (!pfnCreate ||
      FAILED(pfnCreate(kClsidClrMetaHost, kIidClrMetaHost, reinterpret_cast<void**>(&pMetaHost))))
    return {};
  std::wstring directory;
  ClrRuntimeInfo* pRuntime = nullptr;
  if (SUCCEEDED(pMetaHost->GetRuntime(kRuntimeVersion, kIidClrRuntimeInfo,
                                      reinterpret_cast<void**>(&pRuntime)))) {
    std::array<wchar_t, MAX_PATH> buffer{};
    DWORD nChars = static_cast<DWORD>(buffer.size());
    if (SUCCEEDED(pRuntime->GetRuntimeDirectory(buffer.data(), &nChars))) directory = buffer.data();
    pRuntime->Release();
  }
  pMetaHost->Release();
  return directory;
}

std::wstring LegacyDirectory(HMODULE hHost) {
  const auto pfnDirectory = EntryOf<SystemDirectoryProc>(hHost, "GetCORSystemDirectory");
  std::array<wchar_t, MAX_PATH> buffer{};
  DWORD nChars = 0;
  if (!pfnDirectory ||
      FAILED(pfnDirectory(buffer.data(), static_cast<DWORD>(buffer.size()), &nChars)))
    return {};
  return buffer.data();
}

// Whether the runtime's folder exists under the frameworks' root (the registry's InstallRoot, by
// default the Windows folder's Microsoft.NET\Framework64).
bool IsRuntimeInstalled() {
  std::array<wchar_t, MAX_PATH> root{};
  DWORD nBytes = static_cast<DWORD>(root.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\.NETFramework", L"InstallRoot",
                   RRF_RT_REG_SZ, nullptr, root.data(), &nBytes) != ERROR_SUCCESS) {
    std::array<wchar_t, MAX_PATH> windows{};
    if (!GetWindowsDirectoryW(windows.data(), static_cast<UINT>(windows.size()))) return false;
    std::wstring fallback = std::wstring(windows.data()) + L"\\Microsoft.NET\\Framework64\\";
    fallback.copy(root.data(), root.size() - 1);
  }
  std::wstring runtime = root.data();
  if (!runtime.empty() && runtime.back() != L'\\') runtime += L'\\';
  runtime += kRuntimeVersion;
  const DWORD dwAttributes = GetFileAttributesW(runtime.c_str());
  return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

uint32_t Win32SystemInfo::GetClrDirectory(std::string& directory) {
  directory.clear();
  if (!IsRuntimeInstalled()) return ERROR_FILE_NOT_FOUND;
  const HMODULE hHost = LoadLibraryExA("mscoree.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!hHost) return ERROR_FILE_NOT_FOUND;
  std::wstring wide = MetaHostDirectory(hHost);
  if (wide.empty()) wide = LegacyDirectory(hHost);
  FreeLibrary(hHost);
  directory = AnsiFromWide(wide.c_str());
  if (directory.size() >= MAX_PATH) directory.resize(MAX_PATH - 1);
  if (directory.empty()) return ERROR_FILE_NOT_FOUND;
  if (directory.back() != '\\') directory += '\\';
  return ERROR_SUCCESS;
}

}  // namespace platform::win32
