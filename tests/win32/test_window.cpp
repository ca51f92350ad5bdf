#include "win32/test_window.h"

#include "platform/win32/windows_api.h"

namespace tarvium::test {
namespace {

constexpr char kClassName[] = "TarviumTestWindow";

LRESULT CALLBACK TestWindowProc(HWND window, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* owner = reinterpret_cast<ThreadWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!owner) return DefWindowProcA(window, uMsg, wParam, lParam);
  owner->Counted(uMsg);
  switch (uMsg) {
    case WM_QUERYENDSESSION:
      return owner->AgreesToEnd() ? TRUE : FALSE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, uMsg, wParam, lParam);
  }
}

void RegisterTestClass() {
  static const ATOM atom = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass);
  }();
  (void)atom;
}

HWND MakeWindow(const std::string& title, void* pOwner) {
  RegisterTestClass();
  return CreateWindowExA(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                         nullptr, GetModuleHandleA(nullptr), pOwner);
}

}  // namespace

ThreadWindow::ThreadWindow(const std::string& title, bool bAgreesToEnd)
    : bAgreesToEnd_(bAgreesToEnd) {
  std::atomic<bool> bStarted{false};
  thread_ = std::thread([this, title, &bStarted] { Run(title, bStarted); });
  while (!bStarted) Sleep(1);
}

ThreadWindow::~ThreadWindow() {
  if (handle_ && IsWindow(reinterpret_cast<HWND>(handle_)))
    PostMessageA(reinterpret_cast<HWND>(handle_), WM_CLOSE, 0, 0);
  WaitEnded();
}

void ThreadWindow::WaitEnded() {
  if (thread_.joinable()) thread_.join();
}

void ThreadWindow::Counted(unsigned uMsg) {
  if (uMsg == WM_DESTROY) ++nDestroyMessages_;
  if (uMsg == WM_QUERYENDSESSION) ++nQueryMessages_;
}

void ThreadWindow::Run(const std::string& title, std::atomic<bool>& bStarted) {
  const HWND window = MakeWindow(title, this);
  handle_ = reinterpret_cast<uintptr_t>(window);
  bStarted = true;
  if (!window) return;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

uint64_t CreateWindowOfThisThread(const std::string& title) {
  return reinterpret_cast<uintptr_t>(MakeWindow(title, nullptr));
}

bool WindowExists(uint64_t handle) {
  return IsWindow(reinterpret_cast<HWND>(handle)) != FALSE;
}

uint32_t ThisProcessId() {
  return GetCurrentProcessId();
}

}  // namespace tarvium::test
