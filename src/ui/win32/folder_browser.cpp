#include "ui/win32/folder_browser.h"

#include <shlobj.h>

#include "platform/win32/win32_wide_text.h"
#include "ui/browse_start.h"

namespace tarvium::ui::win32 {
namespace {

int CALLBACK OnBrowserEvent(HWND hWnd, UINT uMsg, LPARAM, LPARAM lpData) {
  if (uMsg == BFFM_INITIALIZED) SendMessageW(hWnd, BFFM_SETSELECTIONW, TRUE, lpData);
  return 0;
}

// The new browser (with its edit field and new-folder button) needs COM in an apartment of this
// thread; where the thread has another, the old one serves.
class ComApartment {
 public:
  ComApartment() : hResult_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(hResult_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool IsApartment() const { return SUCCEEDED(hResult_); }

 private:
  HRESULT hResult_;
};

}  // namespace

bool ChooseFolder(HWND hOwner, const std::wstring& title, platform::FileSystem& files,
                  std::string& ansiDirectory) {
  const ComApartment apartment;
  const std::wstring start =
      platform::win32::WideFromAnsi(BrowseStartDirectory(ansiDirectory, files));
  BROWSEINFOW info{};
  info.hwndOwner = hOwner;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | (apartment.IsApartment() ? BIF_NEWDIALOGSTYLE : 0);
  info.lpfn = &OnBrowserEvent;
  info.lParam = reinterpret_cast<LPARAM>(start.c_str());
  PIDLIST_ABSOLUTE pItems = SHBrowseForFolderW(&info);
  if (!pItems) return false;
  wchar_t path[MAX_PATH] = {};
  const bool bPath = SHGetPathFromIDListW(pItems, path) && path[0];
  CoTaskMemFree(pItems);
  if (bPath) ansiDirectory = platform::win32::AnsiFromWide(path);
  return bPath;
}

}  // namespace tarvium::ui::win32
