// Helpers that the dialog driver's two Windows files share: handles as numbers and back, text
// between UTF-8 and UTF-16, sent messages that give up on a hung window, class names, and a
// wait that polls. Included only by .cpp files, after the project's own headers.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/win32/windows_api.h"

namespace tarvium::test::dialogs {

HWND AsWindow(uint64_t handle);
uint64_t AsNumber(HWND window);
std::string Utf8Of(const std::wstring& wide);
std::wstring WideOf(const std::string& text);
// SendMessageTimeout with a few seconds' patience; 0 when the window did not answer.
LRESULT Send(HWND window, UINT uMsg, WPARAM wParam, LPARAM lParam);
std::string ClassOf(HWND window);

// Asks ready() every 50 ms until it holds (true) or the time is up (false).
template <typename Ready>
bool PollUntil(uint32_t nTimeoutMs, Ready ready) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
  for (;;) {
    if (ready()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace tarvium::test::dialogs
