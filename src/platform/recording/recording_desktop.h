// The desktop and session services of a recorded run, each a thin layer over the wrapped
// machine's: questions pass on; what would change the machine or the session of its user (fonts,
// setting-change broadcasts, Program Manager commands, the clipboard, closing windows, type
// library registrations, access lists, network connections, restarts) is logged and answered with
// success. What the run itself would see of such a change afterwards (the clipboard's text, the
// broadcasts made, a restart asked for) is kept here, so that it reads back as on a real run.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/access_control.h"
#include "platform/clipboard.h"
#include "platform/com_library.h"
#include "platform/dde.h"
#include "platform/font_table.h"
#include "platform/modules.h"
#include "platform/network.h"
#include "platform/power.h"
#include "platform/recording/machine_change.h"
#include "platform/top_level_windows.h"
#include "platform/window_broadcast.h"

namespace platform {

class RecordingFonts final : public FontTable {
 public:
  explicit RecordingFonts(ChangeLog& changes) : m_changes(changes) {}
  int AddFontResource(const std::string& path) override;
  bool RemoveFontResource(const std::string& path) override;

 private:
  ChangeLog& m_changes;
};

class RecordingBroadcast final : public WindowBroadcast {
 public:
  RecordingBroadcast(WindowBroadcast& wrapped, ChangeLog& changes)
      : m_wrapped(wrapped), m_changes(changes) {}
  uint32_t BroadcastSettingChange(const std::string& area, uint32_t nTimeoutMs) override;
  uint32_t NotifyShellChange(uint32_t dwEventId, const std::string& path) override;
  uint32_t PostFontChange() override;
  std::vector<std::string> SettingChanges() override;

 private:
  uint32_t Record(std::string line);

  WindowBroadcast& m_wrapped;
  ChangeLog& m_changes;
  std::vector<std::string> m_lines;
};

class RecordingDde final : public Dde {
 public:
  RecordingDde(Dde& wrapped, ChangeLog& changes) : m_wrapped(wrapped), m_changes(changes) {}
  uint32_t Initiate(const std::string& application, const std::string& topic, uint32_t nTimeoutMs,
                    DdeConversation& hConv) override {
    return m_wrapped.Initiate(application, topic, nTimeoutMs, hConv);
  }
  uint32_t Execute(DdeConversation hConv, const std::string& command, bool& bAccepted) override;
  uint32_t Terminate(DdeConversation hConv) override { return m_wrapped.Terminate(hConv); }

 private:
  Dde& m_wrapped;
  ChangeLog& m_changes;
};

class RecordingClipboard final : public Clipboard {
 public:
  RecordingClipboard(Clipboard& wrapped, ChangeLog& changes)
      : m_wrapped(wrapped), m_changes(changes) {}
  uint32_t GetClipboardText(std::string& text) override;
  uint32_t SetClipboardText(const std::string& text) override;

 private:
  Clipboard& m_wrapped;
  ChangeLog& m_changes;
  std::optional<std::string> m_text;
};

// WM_QUERYENDSESSION only asks and passes on; WM_CLOSE and WM_DESTROY are logged, not sent.
class RecordingWindows final : public TopLevelWindows {
 public:
  RecordingWindows(TopLevelWindows& wrapped, ChangeLog& changes)
      : m_wrapped(wrapped), m_changes(changes) {}
  uint32_t EnumWindows(std::vector<WindowEntry>& windows) override {
    return m_wrapped.EnumWindows(windows);
  }
  uint32_t SendMessage(WindowHandle hWnd, uint32_t uMsg, int64_t& lResult) override;

 private:
  TopLevelWindows& m_wrapped;
  ChangeLog& m_changes;
};

class RecordingComLibrary final : public ComLibrary {
 public:
  RecordingComLibrary(ComLibrary& wrapped, ChangeLog& changes)
      : m_wrapped(wrapped), m_changes(changes) {}
  uint32_t Load() override { return m_wrapped.Load(); }
  uint32_t GetVersion(uint64_t& qwVersion) override { return m_wrapped.GetVersion(qwVersion); }
  int32_t Initialize() override { return m_wrapped.Initialize(); }
  void Uninitialize() override { m_wrapped.Uninitialize(); }
  int32_t RegisterTypeLib(const std::string& path) override;
  int32_t UnregisterTypeLib(const std::string& path) override;

 private:
  ComLibrary& m_wrapped;
  ChangeLog& m_changes;
};

class RecordingAccess final : public AccessControl {
 public:
  RecordingAccess(AccessControl& wrapped, ChangeLog& changes)
      : m_wrapped(wrapped), m_changes(changes) {}
  uint32_t ChangeAccess(SecuredObject kind, const std::string& objectName,
                        const AccessEntry& entry) override;
  uint32_t GetAccess(SecuredObject kind, const std::string& objectName,
                     std::vector<AccessEntry>& entries) override {
    return m_wrapped.GetAccess(kind, objectName, entries);
  }

 private:
  AccessControl& m_wrapped;
  ChangeLog& m_changes;
};

// Connections to shares are made, since the run may read its media through them, and logged.
class RecordingNetwork final : public Network {
 public:
  RecordingNetwork(Network& wrapped, ChangeLog& changes) : m_wrapped(wrapped), m_changes(changes) {}
  uint32_t UseConnection(const std::string& remoteName, const std::string& userName,
                         const std::string& password) override;
  uint32_t CancelConnection(const std::string& remoteName, bool bForce) override;
  std::vector<NetConnection> Connections() override { return m_wrapped.Connections(); }
  uint32_t GetAdaptersInfo(std::vector<AdapterInfo>& adapters) override {
    return m_wrapped.GetAdaptersInfo(adapters);
  }

 private:
  Network& m_wrapped;
  ChangeLog& m_changes;
};

// Libraries load as they are; foreign code may only read, since what it wrote would reach the
// wrapped machine past the overlay.
class RecordingModules final : public Modules {
 public:
  explicit RecordingModules(Modules& wrapped) : m_wrapped(wrapped) {}
  uint32_t LoadLibrary(const std::string& path, ModuleHandle& hModule) override {
    return m_wrapped.LoadLibrary(path, hModule);
  }
  ProcAddress GetProcAddress(ModuleHandle hModule, const std::string& name) override {
    return m_wrapped.GetProcAddress(hModule, name);
  }
  uint32_t FreeLibrary(ModuleHandle hModule) override { return m_wrapped.FreeLibrary(hModule); }
  uint32_t VerifyTrust(const std::string& path) override { return m_wrapped.VerifyTrust(path); }
  uint32_t GetForeignPath(const std::string& path, bool bForWriting,
                          std::string& foreignPath) override;

 private:
  Modules& m_wrapped;
};

// A restart, log-off or shutdown asked for is logged and kept as the pending request.
class RecordingPower final : public Power {
 public:
  RecordingPower(Power& wrapped, ChangeLog& changes) : m_wrapped(wrapped), m_changes(changes) {}
  uint32_t ExitWindows(uint32_t uFlags, uint32_t dwReason) override;
  uint32_t InitiateSystemShutdown(const std::string& message, uint32_t nTimeoutSeconds,
                                  bool bForceAppsClosed, bool bRebootAfterShutdown,
                                  uint32_t dwReason) override;
  uint32_t GetPowerRequest(PowerRequest& request) override;
  uint32_t ClearPowerRequest() override;

 private:
  uint32_t Request(const PowerRequest& request);

  Power& m_wrapped;
  ChangeLog& m_changes;
  std::optional<PowerRequest> m_request;  // none: the wrapped machine's answers
};

}  // namespace platform
