// The record of one change a run asked of the machine while a RecordingMachine held it back: what
// kind of change, what it was made to (a Windows path, a full registry key, a service or account
// name) and its details as text. Plain data in the order the run asked, so that a writer can print
// the list as text lines or JSON lines without knowing the services that made it.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class ChangeKind {
  FileWritten,
  FileCopied,
  FileDeleted,
  FileMoved,
  FileAttributes,
  FileTimes,
  DirectoryCreated,
  DirectoryRemoved,
  DeferredRename,
  KeyCreated,
  KeyDeleted,
  ValueSet,
  ValueDeleted,
  ProfileWritten,
  ServiceCreated,
  ServiceChanged,
  ServiceStarted,
  ServiceStopped,
  ServiceDeleted,
  ProgramStarted,
  ProgramEnded,
  AccountChange,
  AccessChange,
  FontAdded,
  FontRemoved,
  TypeLibraryChange,
  OdbcChange,
  PrinterChange,
  Broadcast,
  DdeCommand,
  ClipboardSet,
  WindowClosed,
  NetworkConnection,
  RestartRequested,
};

struct MachineChange {
  ChangeKind kind = ChangeKind::FileWritten;
  std::string target;  // "C:\Program Files\App\app.exe", "HKEY_LOCAL_MACHINE\Software\App", ...
  std::string detail;  // value name and data, source path, flags: whatever tells the change apart
};

// "FileWritten", "KeyCreated", ...: the kind's name as a writer prints it.
std::string_view ChangeKindName(ChangeKind kind);

// The changes of one run, oldest first. Add returns the change's index so that the service that
// made it can complete its detail later (a file's size once its handle is closed).
class ChangeLog {
 public:
  size_t Add(ChangeKind kind, std::string target, std::string detail = {});
  void SetDetail(size_t index, std::string detail) { m_changes[index].detail = std::move(detail); }
  const std::vector<MachineChange>& Changes() const { return m_changes; }

 private:
  std::vector<MachineChange> m_changes;
};

}  // namespace platform
