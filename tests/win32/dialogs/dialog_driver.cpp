// The dialog driver's Windows side. Texts cross processes by messages that Windows marshals
// (WM_GETTEXT, WM_SETTEXT, LB_GETTEXT, CB_GETLBTEXT); the tree view's items are read through a
// TVITEMW placed in the setup's own memory, as that message is not marshalled. Sent messages use
// SendMessageTimeout, so that a hung setup fails the test instead of hanging it.
#include "win32/dialogs/dialog_driver.h"

#include "win32/dialogs/dialog_windows.h"
// clang-format off
#include <commctrl.h>
// clang-format on

namespace tarvium::test {
namespace {

using dialogs::AsNumber;
using dialogs::AsWindow;
using dialogs::ClassOf;
using dialogs::PollUntil;
using dialogs::Send;
using dialogs::Utf8Of;
using dialogs::WideOf;

constexpr int kHeadingId = 1000;
constexpr int kBoxTextId = 1001;  // a message box's text

std::string WindowText(HWND window) {
  if (!window) return {};
  const LRESULT nLength = Send(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(nLength) + 1, L'\0');
  const LRESULT nCopied =
      Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(nCopied > 0 ? static_cast<size_t>(nCopied) : 0);
  return Utf8Of(text);
}

std::vector<HWND> WindowsOfProcess(DWORD dwProcessId) {
  struct Search {
    DWORD dwProcessId;
    std::vector<HWND> found;
  } search{dwProcessId, {}};
  EnumWindows(
      [](HWND window, LPARAM lParam) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lParam);
        DWORD dwOwner = 0;
        GetWindowThreadProcessId(window, &dwOwner);
        if (dwOwner == s->dwProcessId && IsWindowVisible(window)) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsDialogWindow(HWND window) {
  return ClassOf(window) == "#32770";
}

// The remote copy of one TVITEMW and its text buffer, in the process that owns the tree.
class RemoteTreeItem {
 public:
  explicit RemoteTreeItem(HWND tree) {
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(tree, &dwProcessId);
    process_ =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, dwProcessId);
    if (process_)
      memory_ = static_cast<char*>(
          VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  }
  ~RemoteTreeItem() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteTreeItem(const RemoteTreeItem&) = delete;
  RemoteTreeItem& operator=(const RemoteTreeItem&) = delete;

  bool Read(HWND tree, HTREEITEM hItem, TreeRow& row) {
    if (!memory_) return false;
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE;
    item.hItem = hItem;
    item.stateMask = TVIS_STATEIMAGEMASK;
    item.pszText = reinterpret_cast<wchar_t*>(memory_ + sizeof(TVITEMW));
    item.cchTextMax = kTextChars;
    SIZE_T nDone = 0;
    if (!WriteProcessMemory(process_, memory_, &item, sizeof item, &nDone)) return false;
    if (!Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory_))) return false;
    wchar_t text[kTextChars + 1] = {};
    if (!ReadProcessMemory(process_, memory_, &item, sizeof item, &nDone) ||
        !ReadProcessMemory(process_, memory_ + sizeof(TVITEMW), text, kTextChars * sizeof(wchar_t),
                           &nDone))
      return false;
    row.hItem = reinterpret_cast<uintptr_t>(hItem);
    row.text = Utf8Of(text);
    row.nStateImage = static_cast<int>((item.state & TVIS_STATEIMAGEMASK) >> 12);
    return true;
  }

 private:
  static constexpr int kTextChars = 512;
  static constexpr size_t kSize = sizeof(TVITEMW) + (kTextChars + 1) * sizeof(wchar_t);
  HANDLE process_ = nullptr;
  char* memory_ = nullptr;
};

}  // namespace

std::string WindowCaption(uint64_t handle) {
  wchar_t caption[512] = {};
  GetWindowTextW(AsWindow(handle), caption, 512);
  return Utf8Of(caption);
}

// ---- Dialog

uint64_t Dialog::Control(int nId) const {
  return AsNumber(GetDlgItem(AsWindow(handle_), nId));
}

// EndDialog hides a dialog before it is destroyed: a hidden one has closed.
bool Dialog::Exists() const {
  return handle_ && IsWindow(AsWindow(handle_)) && IsWindowVisible(AsWindow(handle_));
}

std::string Dialog::Caption() const {
  return WindowCaption(handle_);
}

std::string Dialog::Text(int nId) const {
  return WindowText(AsWindow(Control(nId)));
}

bool Dialog::HasControl(int nId) const {
  return Control(nId) != 0;
}

bool Dialog::IsUsable(int nId) const {
  const HWND control = AsWindow(Control(nId));
  return control && IsWindowVisible(control) && IsWindowEnabled(control);
}

int Dialog::FocusedControl() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(AsWindow(handle_), nullptr), &info) ||
      !info.hwndFocus || !IsChild(AsWindow(handle_), info.hwndFocus))
    return 0;
  return GetDlgCtrlID(info.hwndFocus);
}

int Dialog::DefaultButton() const {
  const LRESULT result = Send(AsWindow(handle_), DM_GETDEFID, 0, 0);
  return HIWORD(result) == DC_HASDEFID ? LOWORD(result) : 0;
}

testing::AssertionResult Dialog::Press(int nId) const {
  const HWND button = AsWindow(Control(nId));
  if (!button)
    return testing::AssertionFailure() << "dialog '" << Caption() << "' has no button " << nId;
  if (!IsWindowVisible(button) || !IsWindowEnabled(button))
    return testing::AssertionFailure() << "button " << nId << " '" << Text(nId) << "' of '"
                                       << Caption() << "' is hidden or disabled";
  if (!PostMessageW(AsWindow(handle_), WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED),
                    reinterpret_cast<LPARAM>(button)))
    return testing::AssertionFailure() << "PostMessage failed: " << GetLastError();
  return testing::AssertionSuccess();
}

void Dialog::PressKey(int nVirtualKey) const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND target = AsWindow(handle_);
  if (GetForegroundWindow() != target) SetForegroundWindow(target);
  if (GetGUIThreadInfo(GetWindowThreadProcessId(target, nullptr), &info) && info.hwndFocus)
    target = info.hwndFocus;
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(nVirtualKey, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(target, WM_KEYDOWN, nVirtualKey, 1 | scan);
  PostMessageW(target, WM_KEYUP, nVirtualKey, 1 | scan | (1LL << 30) | (1LL << 31));
}

testing::AssertionResult Dialog::SetText(int nId, const std::string& text) const {
  const HWND control = AsWindow(Control(nId));
  if (!control)
    return testing::AssertionFailure() << "dialog '" << Caption() << "' has no control " << nId;
  const std::wstring wide = WideOf(text);
  Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  const std::string now = WindowText(control);
  if (now != text)
    return testing::AssertionFailure()
           << "control " << nId << " holds '" << now << "' after '" << text << "' was set";
  return testing::AssertionSuccess();
}

namespace {

// The entries of a list box or a combo box, by the control's three messages for them.
struct ItemMessages {
  UINT uCount, uLength, uText;
};

std::vector<std::string> ItemsOf(HWND control, const ItemMessages& messages) {
  std::vector<std::string> items;
  const LRESULT nCount = control ? Send(control, messages.uCount, 0, 0) : 0;
  for (LRESULT i = 0; i < nCount; ++i) {
    std::wstring text(static_cast<size_t>(Send(control, messages.uLength, i, 0)) + 1, L'\0');
    const LRESULT nLength = Send(control, messages.uText, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(nLength > 0 ? static_cast<size_t>(nLength) : 0);
    items.push_back(Utf8Of(text));
  }
  return items;
}

}  // namespace

std::vector<std::string> Dialog::ListItems(int nId) const {
  return ItemsOf(AsWindow(Control(nId)), {LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT});
}

std::vector<std::string> Dialog::ComboItems(int nId) const {
  return ItemsOf(AsWindow(Control(nId)), {CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT});
}

testing::AssertionResult Dialog::SelectCombo(int nId, const std::string& text) const {
  const HWND combo = AsWindow(Control(nId));
  if (!combo || ClassOf(combo) != "ComboBox")
    return testing::AssertionFailure()
           << "control " << nId << " of '" << Caption() << "' is no combo box";
  const std::vector<std::string> items = ComboItems(nId);
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] != text) continue;
    Send(combo, CB_SETCURSEL, i, 0);
    PostMessageW(AsWindow(handle_), WM_COMMAND, MAKEWPARAM(nId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    return testing::AssertionSuccess();
  }
  testing::AssertionResult failure = testing::AssertionFailure();
  failure << "combo box " << nId << " has no entry '" << text << "'; it has:";
  for (const std::string& item : items) failure << " '" << item << "'";
  return failure;
}

int Dialog::ProgressPosition(int nId) const {
  const HWND bar = AsWindow(Control(nId));
  return bar ? static_cast<int>(Send(bar, PBM_GETPOS, 0, 0)) : -1;
}

std::vector<TreeRow> Dialog::TreeRows(int nId) const {
  std::vector<TreeRow> rows;
  const HWND tree = AsWindow(Control(nId));
  if (!tree) return rows;
  RemoteTreeItem remote(tree);
  // Depth first: the child, else the next sibling, else the next sibling of the nearest parent.
  auto next = [&](HTREEITEM item) {
    if (auto child = reinterpret_cast<HTREEITEM>(
            Send(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))))
      return child;
    for (HTREEITEM at = item; at;
         at = reinterpret_cast<HTREEITEM>(
             Send(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(at)))) {
      if (auto sibling = reinterpret_cast<HTREEITEM>(
              Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(at))))
        return sibling;
    }
    return HTREEITEM{};
  };
  for (auto item = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); item;
       item = next(item)) {
    TreeRow row;
    if (remote.Read(tree, item, row)) rows.push_back(row);
  }
  return rows;
}

testing::AssertionResult Dialog::SelectTreeItem(int nId, const std::string& text) const {
  const HWND tree = AsWindow(Control(nId));
  const std::vector<TreeRow> rows = TreeRows(nId);
  for (const TreeRow& row : rows) {
    if (row.text != text) continue;
    Send(tree, TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(row.hItem));
    return testing::AssertionSuccess();
  }
  testing::AssertionResult failure = testing::AssertionFailure();
  failure << "tree " << nId << " of '" << Caption() << "' has no item '" << text << "'; it has:";
  for (const TreeRow& row : rows) failure << " '" << row.text << "'";
  return failure;
}

testing::AssertionResult Dialog::ToggleTreeItem(int nId, const std::string& text) const {
  if (testing::AssertionResult selected = SelectTreeItem(nId, text); !selected) return selected;
  const HWND tree = AsWindow(Control(nId));
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(tree, WM_KEYDOWN, VK_SPACE, 1 | scan);
  PostMessageW(tree, WM_KEYUP, VK_SPACE, 1 | scan | (1LL << 30) | (1LL << 31));
  return testing::AssertionSuccess();
}

int Dialog::TreeImage(int nId, const std::string& text) const {
  for (const TreeRow& row : TreeRows(nId))
    if (row.text == text) return row.nStateImage;
  return -1;
}

testing::AssertionResult Dialog::WaitForTreeImage(int nId, const std::string& text,
                                                  const std::function<bool(int)>& test,
                                                  const std::string& what,
                                                  uint32_t nTimeoutMs) const {
  int nLast = -1;
  if (PollUntil(nTimeoutMs, [&] { return !Exists() || test(nLast = TreeImage(nId, text)); }) &&
      Exists())
    return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << "the item '" << text << "' of tree " << nId << " was to show " << what
         << "; its state image is " << nLast << (Exists() ? "" : " and the dialog closed");
}

testing::AssertionResult Dialog::WaitForText(int nId,
                                             const std::function<bool(const std::string&)>& test,
                                             const std::string& what, uint32_t nTimeoutMs) const {
  std::string last;
  const bool bSeen = PollUntil(nTimeoutMs, [&] {
    if (!Exists()) return true;
    last = Text(nId);
    return test(last);
  });
  if (bSeen && Exists()) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << "control " << nId << " of '" << Caption() << "' was to show " << what
         << (Exists() ? "" : " but the dialog closed") << "; it showed '" << last << "'";
}

testing::AssertionResult Dialog::WaitForText(int nId, const std::string& text,
                                             uint32_t nTimeoutMs) const {
  return WaitForText(
      nId, [&](const std::string& shown) { return shown == text; }, "'" + text + "'", nTimeoutMs);
}

testing::AssertionResult Dialog::WaitClosed(uint32_t nTimeoutMs) const {
  if (PollUntil(nTimeoutMs, [&] { return !Exists(); })) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << "dialog '" << Caption() << "' (heading '" << Text(kHeadingId) << "') did not close";
}

testing::AssertionResult Dialog::WaitFocusLeaves(int nFrom, uint32_t nTimeoutMs) const {
  // A dialog that closes loses its focus too: only another control of its own counts.
  auto moved = [&] {
    const int nNow = FocusedControl();
    return nNow != 0 && nNow != nFrom;
  };
  if (PollUntil(nTimeoutMs, [&] { return !Exists() || moved(); }) && Exists())
    return testing::AssertionSuccess();
  return testing::AssertionFailure() << "the focus stayed on control " << nFrom << " of '"
                                     << Caption() << "'" << (Exists() ? "" : ", or it closed");
}

// ---- SetupProcess

SetupProcess::~SetupProcess() {
  Kill();
}

testing::AssertionResult SetupProcess::Start(const std::string& program,
                                             const std::string& arguments,
                                             const std::string& folder) {
  std::wstring commandLine = L"\"" + WideOf(program) + L"\" " + WideOf(arguments);
  const std::wstring directory = WideOf(folder);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  // No standard handles, as when the program is started from the Explorer (not the test's pipes,
  // which would make the setup answer without asking), so the setup shows its dialogs.
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.c_str(), &startup, &info))
    return testing::AssertionFailure()
           << "cannot start " << program << ": error " << GetLastError();
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  dwProcessId_ = info.dwProcessId;
  return testing::AssertionSuccess();
}

bool SetupProcess::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

testing::AssertionResult SetupProcess::WaitForExit(uint32_t& dwExitCode, uint32_t nTimeoutMs) {
  if (!process_) return testing::AssertionFailure() << "the setup was not started";
  if (WaitForSingleObject(process_, nTimeoutMs) != WAIT_OBJECT_0)
    return testing::AssertionFailure() << "the setup did not end; it shows:\n" << DescribeWindows();
  DWORD dwCode = 0;
  GetExitCodeProcess(process_, &dwCode);
  dwExitCode = dwCode;
  return testing::AssertionSuccess();
}

void SetupProcess::Kill() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 10000);
  }
  CloseHandle(process_);
  process_ = nullptr;
}

std::string SetupProcess::DescribeWindows() const {
  std::string lines;
  for (HWND window : WindowsOfProcess(dwProcessId_)) {
    lines += "  [" + ClassOf(window) + "] '" + WindowCaption(AsNumber(window)) + "'";
    if (IsDialogWindow(window)) {
      lines += " heading '" + WindowText(GetDlgItem(window, kHeadingId)) + "'";
      if (const HWND boxText = GetDlgItem(window, kBoxTextId))
        lines += " text '" + WindowText(boxText) + "'";
    }
    lines += "\n";
  }
  if (lines.empty()) lines = "  no visible window\n";
  if (!Running()) {
    DWORD dwCode = 0;
    GetExitCodeProcess(process_, &dwCode);
    lines += "  (the process has ended with exit code " +
             std::to_string(static_cast<int32_t>(dwCode)) + ")\n";
  }
  return lines;
}

testing::AssertionResult SetupProcess::WaitForDialogWhere(
    const std::function<bool(const Dialog&)>& matches, const std::string& what, Dialog& dialog,
    uint32_t nTimeoutMs) const {
  const bool bFound = PollUntil(nTimeoutMs, [&] {
    for (HWND window : WindowsOfProcess(dwProcessId_)) {
      if (!IsDialogWindow(window)) continue;
      const Dialog candidate(AsNumber(window));
      if (matches(candidate)) {
        // In front, as a person clicking on it would have it: a dialog without the foreground
        // has no focus.
        SetForegroundWindow(window);
        dialog = candidate;
        return true;
      }
    }
    return !Running();
  });
  if (bFound && dialog.Exists()) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "expected " << what << "; on screen:\n"
                                     << DescribeWindows();
}

testing::AssertionResult SetupProcess::WaitForDialog(const std::string& text, Dialog& dialog,
                                                     uint32_t nTimeoutMs) const {
  dialog = Dialog();
  return WaitForDialogWhere(
      [&](const Dialog& candidate) {
        return candidate.Text(kHeadingId) == text || candidate.Caption() == text;
      },
      "a dialog with the heading or caption '" + text + "'", dialog, nTimeoutMs);
}

testing::AssertionResult SetupProcess::WaitForDialogShowing(int nId, const std::string& part,
                                                            Dialog& dialog,
                                                            uint32_t nTimeoutMs) const {
  dialog = Dialog();
  return WaitForDialogWhere(
      [&](const Dialog& candidate) {
        return candidate.HasControl(nId) && candidate.Text(nId).find(part) != std::string::npos;
      },
      "a dialog whose control " + std::to_string(nId) + " shows '" + part + "'", dialog,
      nTimeoutMs);
}

testing::AssertionResult SetupProcess::WaitForWindowOfClass(const std::string& className,
                                                            uint64_t& handle,
                                                            uint32_t nTimeoutMs) const {
  handle = 0;
  PollUntil(nTimeoutMs, [&] {
    for (HWND window : WindowsOfProcess(dwProcessId_))
      if (ClassOf(window) == className) handle = AsNumber(window);
    return handle != 0 || !Running();
  });
  if (handle) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << "expected a window of class " << className << "; on screen:\n"
         << DescribeWindows();
}

}  // namespace tarvium::test
