// The recorded desktop and session services: each change becomes one logged line whose detail
// reads as the call the engine made.
#include "platform/recording/recording_desktop.h"

#include <charconv>

#include "platform/win_error.h"

namespace platform {

namespace {

std::string Hex(uint32_t nValue) {
  char buffer[12] = "0x";
  const auto result = std::to_chars(buffer + 2, buffer + sizeof buffer, nValue, 16);
  return std::string(buffer, result.ptr);
}

constexpr const char* kObjectKinds[] = {"file", "share", "registry key", "printer"};

}  // namespace

int RecordingFonts::AddFontResource(const std::string& path) {
  m_changes.Add(ChangeKind::FontAdded, path);
  return 1;  // one font added, as for a file holding one
}

bool RecordingFonts::RemoveFontResource(const std::string& path) {
  m_changes.Add(ChangeKind::FontRemoved, path);
  return true;
}

uint32_t RecordingBroadcast::Record(std::string line) {
  m_changes.Add(ChangeKind::Broadcast, line);
  m_lines.push_back(std::move(line));
  return ERROR_SUCCESS;
}

uint32_t RecordingBroadcast::BroadcastSettingChange(const std::string& area, uint32_t) {
  return Record("WM_WININICHANGE " + area);
}

uint32_t RecordingBroadcast::NotifyShellChange(uint32_t dwEventId, const std::string& path) {
  return Record("SHChangeNotify " + Hex(dwEventId) + " " + path);
}

uint32_t RecordingBroadcast::PostFontChange() {
  return Record("WM_FONTCHANGE");
}

std::vector<std::string> RecordingBroadcast::SettingChanges() {
  std::vector<std::string> lines = m_wrapped.SettingChanges();
  lines.insert(lines.end(), m_lines.begin(), m_lines.end());
  return lines;
}

uint32_t RecordingDde::Execute(DdeConversation, const std::string& command, bool& bAccepted) {
  m_changes.Add(ChangeKind::DdeCommand, command);
  bAccepted = true;
  return ERROR_SUCCESS;
}

uint32_t RecordingClipboard::GetClipboardText(std::string& text) {
  if (!m_text) return m_wrapped.GetClipboardText(text);
  text = *m_text;
  return ERROR_SUCCESS;
}

uint32_t RecordingClipboard::SetClipboardText(const std::string& text) {
  m_changes.Add(ChangeKind::ClipboardSet, text);
  m_text = text;
  return ERROR_SUCCESS;
}

uint32_t RecordingWindows::SendMessage(WindowHandle hWnd, uint32_t uMsg, int64_t& lResult) {
  if (uMsg != WM_CLOSE && uMsg != WM_DESTROY) return m_wrapped.SendMessage(hWnd, uMsg, lResult);
  std::vector<WindowEntry> windows;
  m_wrapped.EnumWindows(windows);
  std::string title;
  for (const WindowEntry& window : windows)
    if (window.hWnd == hWnd) title = window.title;
  m_changes.Add(ChangeKind::WindowClosed, title, uMsg == WM_CLOSE ? "WM_CLOSE" : "WM_DESTROY");
  lResult = 0;
  return ERROR_SUCCESS;
}

int32_t RecordingComLibrary::RegisterTypeLib(const std::string& path) {
  m_changes.Add(ChangeKind::TypeLibraryChange, path, "register");
  return S_OK;
}

int32_t RecordingComLibrary::UnregisterTypeLib(const std::string& path) {
  m_changes.Add(ChangeKind::TypeLibraryChange, path, "unregister");
  return S_OK;
}

uint32_t RecordingAccess::ChangeAccess(SecuredObject kind, const std::string& objectName,
                                       const AccessEntry& entry) {
  m_changes.Add(ChangeKind::AccessChange, objectName,
                std::string(kObjectKinds[static_cast<int>(kind)]) + ", " + entry.trustee +
                    " mode " + std::to_string(entry.dwMode) + " rights " + Hex(entry.dwRights) +
                    " inheritance " + Hex(entry.dwInheritance));
  return ERROR_SUCCESS;
}

uint32_t RecordingNetwork::UseConnection(const std::string& remoteName, const std::string& userName,
                                         const std::string& password) {
  m_changes.Add(ChangeKind::NetworkConnection, remoteName,
                userName.empty() ? "connect" : "connect as " + userName);
  return m_wrapped.UseConnection(remoteName, userName, password);
}

uint32_t RecordingNetwork::CancelConnection(const std::string& remoteName, bool bForce) {
  m_changes.Add(ChangeKind::NetworkConnection, remoteName, "disconnect");
  return m_wrapped.CancelConnection(remoteName, bForce);
}

uint32_t RecordingModules::GetForeignPath(const std::string& path, bool bForWriting,
                                          std::string& foreignPath) {
  if (bForWriting) return ERROR_ACCESS_DENIED;
  return m_wrapped.GetForeignPath(path, false, foreignPath);
}

uint32_t RecordingPower::Request(const PowerRequest& request) {
  static constexpr const char* kActions[] = {"none", "log off", "shut down", "power off",
                                             "restart"};
  m_changes.Add(ChangeKind::RestartRequested, kActions[static_cast<int>(request.action)],
                (request.bForce ? "forced, reason " : "reason ") + Hex(request.dwReason));
  m_request = request;
  return ERROR_SUCCESS;
}

uint32_t RecordingPower::ExitWindows(uint32_t uFlags, uint32_t dwReason) {
  PowerRequest request;
  request.action = (uFlags & EWX_REBOOT)     ? PowerAction::Restart
                   : (uFlags & EWX_POWEROFF) ? PowerAction::PowerOff
                   : (uFlags & EWX_SHUTDOWN) ? PowerAction::Shutdown
                                             : PowerAction::LogOff;
  request.bForce = (uFlags & (EWX_FORCE | EWX_FORCEIFHUNG)) != 0;
  request.dwReason = dwReason;
  return Request(request);
}

uint32_t RecordingPower::InitiateSystemShutdown(const std::string& message,
                                                uint32_t nTimeoutSeconds, bool bForceAppsClosed,
                                                bool bRebootAfterShutdown, uint32_t dwReason) {
  PowerRequest request;
  request.action = bRebootAfterShutdown ? PowerAction::Restart : PowerAction::Shutdown;
  request.bForce = bForceAppsClosed;
  request.dwReason = dwReason;
  request.nDelaySeconds = nTimeoutSeconds;
  request.message = message;
  return Request(request);
}

uint32_t RecordingPower::GetPowerRequest(PowerRequest& request) {
  if (!m_request) return m_wrapped.GetPowerRequest(request);
  request = *m_request;
  return ERROR_SUCCESS;
}

uint32_t RecordingPower::ClearPowerRequest() {
  m_request = PowerRequest{};
  return ERROR_SUCCESS;
}

}  // namespace platform
