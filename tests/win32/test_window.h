// Top-level windows a test makes in its own process, declared without Windows types so that a
// test keeps the project's own constants. A ThreadWindow lives in a thread of its own, with its
// message loop, as a simple program's main window does: it answers the shutdown query as told,
// and ends its thread when it is destroyed or gets WM_DESTROY.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace tarvium::test {

class ThreadWindow {
 public:
  ThreadWindow(const std::string& title, bool bAgreesToEnd);
  ThreadWindow(const ThreadWindow&) = delete;
  ThreadWindow& operator=(const ThreadWindow&) = delete;
  ~ThreadWindow();  // closes the window if it is still there

  // The HWND as a number; 0 when the window could not be made (under Wine without a display).
  uint64_t Handle() const { return handle_; }
  // Waits until the window's thread has left its message loop.
  void WaitEnded();
  int DestroyMessages() const { return nDestroyMessages_; }
  int QueryMessages() const { return nQueryMessages_; }

  // Called from the window procedure, in the window's thread.
  void Counted(unsigned uMsg);
  bool AgreesToEnd() const { return bAgreesToEnd_; }

 private:
  void Run(const std::string& title, std::atomic<bool>& bStarted);

  bool bAgreesToEnd_;
  uint64_t handle_ = 0;
  std::atomic<int> nDestroyMessages_{0};
  std::atomic<int> nQueryMessages_{0};
  std::thread thread_;
};

// A window of the calling thread (the test's own); 0 when it could not be made.
uint64_t CreateWindowOfThisThread(const std::string& title);
// Whether the handle still names a window (IsWindow).
bool WindowExists(uint64_t handle);
// The id of this process.
uint32_t ThisProcessId();

}  // namespace tarvium::test
