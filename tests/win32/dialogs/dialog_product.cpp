#include "win32/dialogs/dialog_product.h"

#include "platform/win32/windows_api.h"
// clang-format off
#include <tlhelp32.h>
// clang-format on

namespace tarvium::test {
namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kLanguageMapKey[] = "Software\\kelvaron\\LanguageMap";
constexpr char kInstallRoot[] = "C:\\Tarvium Dialog Tests";

}  // namespace

DialogProduct::DialogProduct() : vendor_(UniqueTestName("Tarvium Dialog Tests")) {}

DialogProduct::~DialogProduct() {
  RemoveRegistryKey(platform::RegRoot::LocalMachine, "Software\\" + vendor_,
                    platform::RegView::View64);
  for (const std::string& name : uninstallKeys_)
    RemoveRegistryKey(platform::RegRoot::LocalMachine, kUninstallKey + name,
                      platform::RegView::View64);
  for (const std::string& folder : folders_) RemoveScratchFolder(folder);
  RemoveDirectoryA(kInstallRoot);  // once no test's folder is left in it
}

std::string DialogProduct::NameLines(const std::string& productName) {
  uninstallKeys_.push_back(vendor_ + " " + productName);
  return "ProductName=" + productName + "\r\nSetupName=" + Title() +
         "\r\nUninstallKeyName=" + uninstallKeys_.back() + "\r\n";
}

std::string DialogProduct::Head(const std::string& productName, const std::string& directory,
                                const std::string& extraLines) {
  return "[Setup]\r\nVersion=4.10\r\n\r\n[Application]\r\n" + NameLines(productName) +
         "DeveloperName=" + vendor_ + "\r\nVersion=1.0\r\nMachineKeyName=" + vendor_ + "\\" +
         productName + "\\1.0\r\nApplicationDir=" + directory + "\r\n" + extraLines;
}

void DialogProduct::WriteFile(const std::string& name, const std::string& bytes) const {
  const std::string path = media_ / name;
  const size_t nSlash = name.rfind('\\');
  if (nSlash != std::string::npos)
    CreateDirectoryA((media_ / name.substr(0, nSlash)).c_str(), nullptr);
  EXPECT_TRUE(WriteFileBytes(path, bytes)) << path;
}

void DialogProduct::CopyIn(const std::string& source, const std::string& name) const {
  EXPECT_TRUE(CopyFileA(source.c_str(), (media_ / name).c_str(), FALSE))
      << source << ": error " << GetLastError();
}

// A fixed name, so that the pictures of the pages that show it stay the same; what a killed
// earlier run left there goes first.
std::string DialogProduct::NewInstallFolder(const std::string& label) {
  const std::string folder = std::string(kInstallRoot) + "\\" + label;
  RemoveScratchFolder(folder);
  RemoveLater(folder);
  return folder;
}

testing::AssertionResult DialogProduct::Start(SetupProcess& setup,
                                              const std::string& arguments) const {
  if (!PathExists(media_ / "Setup.exe")) CopyIn(TARVIUM_SETUP_EXE, "Setup.exe");
  return setup.Start(media_ / "Setup.exe", arguments, media_.Path());
}

PageLanguage::PageLanguage(const std::string& code) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kLanguageMapKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, "ClientComponent", 0, REG_SZ, reinterpret_cast<const BYTE*>(code.c_str()),
                 static_cast<DWORD>(code.size() + 1));
  RegCloseKey(key);
}

PageLanguage::~PageLanguage() {
  RemoveRegistryKey(platform::RegRoot::CurrentUser, kLanguageMapKey, platform::RegView::Default);
}

std::string MachineText(const std::string& keyPath, const std::string& valueName) {
  char data[2048] = {};
  DWORD nSize = sizeof data;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, keyPath.c_str(), valueName.c_str(),
                   RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, data, &nSize) != ERROR_SUCCESS)
    return {};
  return data;
}

bool MachineKeyExists(const std::string& keyPath) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ProcessRuns(const std::string& exeName) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool bFound = false;
  for (BOOL bMore = Process32First(snapshot, &entry); bMore && !bFound;
       bMore = Process32Next(snapshot, &entry))
    bFound = lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0;
  CloseHandle(snapshot);
  return bFound;
}

}  // namespace tarvium::test
