#include "win32/scratch_places.h"

#include "platform/win32/windows_api.h"

namespace tarvium::test {

std::string UniqueTestName(const std::string& prefix) {
  static unsigned nCounter = 0;
  return prefix + "-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(GetTickCount64()) + "-" + std::to_string(++nCounter);
}

std::string CreateScratchFolder() {
  char temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length > MAX_PATH) return {};
  const std::string path = std::string(temp, length) + UniqueTestName("tarvium-test");
  return CreateDirectoryA(path.c_str(), nullptr) ? path : std::string();
}

void RemoveScratchFolder(const std::string& path) {
  WIN32_FIND_DATAA found{};
  const HANDLE find = FindFirstFileA((path + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveScratchFolder(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA(path.c_str());
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL bWritten =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return bWritten && written == bytes.size();
}

std::string ReadFileBytes(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  CloseHandle(file);
  return bytes;
}

void RemoveRegistryKey(platform::RegRoot root, const std::string& keyPath, platform::RegView view) {
  const HKEY hive =
      root == platform::RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  const REGSAM viewFlag = view == platform::RegView::View32   ? KEY_WOW64_32KEY
                          : view == platform::RegView::View64 ? KEY_WOW64_64KEY
                                                              : 0;
  HKEY key = nullptr;
  if (RegOpenKeyExA(hive, keyPath.c_str(), 0, KEY_ALL_ACCESS | viewFlag, &key) != ERROR_SUCCESS)
    return;
  RegDeleteTreeA(key, nullptr);
  RegCloseKey(key);
  RegDeleteKeyExA(hive, keyPath.c_str(), viewFlag, 0);
}

std::string EnvironmentText(const char* name) {
  char buffer[1024];
  const DWORD nLength = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return nLength > 0 && nLength < sizeof buffer ? std::string(buffer, nLength) : std::string();
}

}  // namespace tarvium::test
