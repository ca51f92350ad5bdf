// The version resources of the Windows programs, read back through the system's own version API
// (GetFileVersionInfoW, VerQueryValueW) rather than the engine's reader: each names the version
// CMake's project() sets, the product, and its own file name, in the language its translation
// table names, so that the Explorer and a setup that compares versions find them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/windows_api.h"
// clang-format off
#include <winver.h>
// clang-format on

namespace {

struct Program {
  const char* pszPath;      // Windows path, ASCII
  const char* pszFileName;  // the original file name the resource gives
  DWORD dwFileType;
};

std::wstring Wide(std::string_view text) {
  return std::wstring(text.begin(), text.end());
}

std::wstring StringValue(const std::vector<BYTE>& block, const std::wstring& path) {
  void* pValue = nullptr;
  UINT nLength = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), &pValue, &nLength) || !pValue) return L"(none)";
  return static_cast<const wchar_t*>(pValue);
}

// "\StringFileInfo\040904B0\": the string table of the block's first translation.
std::wstring StringTableOf(const std::vector<BYTE>& block) {
  void* pValue = nullptr;
  UINT nLength = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &pValue, &nLength) ||
      nLength < 4)
    return L"(no translation)";
  const auto* pWords = static_cast<const WORD*>(pValue);
  wchar_t key[16];
  swprintf(key, 16, L"%04X%04X", pWords[0], pWords[1]);
  return L"\\StringFileInfo\\" + std::wstring(key) + L"\\";
}

TEST(VersionResources, EveryProgramNamesTheProjectVersion) {
  const Program programs[] = {
      {TARVIUM_SETUP_EXE, "Setup.exe", VFT_APP},
      {TARVIUM_SETUP_AGENT_EXE, "setup-agent.exe", VFT_APP},
      {TARVIUM_SETUP_CRYPT_EXE, "setup-crypt.exe", VFT_APP},
      {TARVIUM_RAR_MODULE, "UnRAR64.dll", VFT_DLL},
  };
  const DWORD dwVersionMS = TARVIUM_VERSION_MAJOR << 16 | TARVIUM_VERSION_MINOR;
  const DWORD dwVersionLS = TARVIUM_VERSION_PATCH << 16;
  for (const Program& program : programs) {
    SCOPED_TRACE(program.pszPath);
    const std::wstring path = Wide(program.pszPath);
    DWORD dwHandle = 0;
    const DWORD dwSize = GetFileVersionInfoSizeW(path.c_str(), &dwHandle);
    ASSERT_GT(dwSize, 0u) << "error " << GetLastError();
    std::vector<BYTE> block(dwSize);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, dwSize, block.data()));

    void* pFixed = nullptr;
    UINT nFixed = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &pFixed, &nFixed));
    ASSERT_EQ(nFixed, sizeof(VS_FIXEDFILEINFO));
    const auto& fixed = *static_cast<const VS_FIXEDFILEINFO*>(pFixed);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, dwVersionMS);
    EXPECT_EQ(fixed.dwFileVersionLS, dwVersionLS);
    EXPECT_EQ(fixed.dwProductVersionMS, dwVersionMS);
    EXPECT_EQ(fixed.dwProductVersionLS, dwVersionLS);
    EXPECT_EQ(fixed.dwFileType, program.dwFileType);

    const std::wstring table = StringTableOf(block);
    EXPECT_EQ(StringValue(block, table + L"ProductVersion"), Wide(TARVIUM_VERSION));
    EXPECT_EQ(StringValue(block, table + L"FileVersion"), Wide(TARVIUM_VERSION ".0"));
    EXPECT_EQ(StringValue(block, table + L"ProductName"), L"Tarvium Setup");
    EXPECT_EQ(StringValue(block, table + L"OriginalFilename"), Wide(program.pszFileName));
    EXPECT_EQ(StringValue(block, table + L"LegalCopyright").rfind(L"Copyright ", 0), 0u);
  }
}

}  // namespace
