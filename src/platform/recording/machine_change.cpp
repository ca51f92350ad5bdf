// The names of the kinds of recorded changes, in one table indexed by the kind so that a new kind
// without a name fails to compile rather than printing nothing.
#include "platform/recording/machine_change.h"

#include <array>
#include <utility>

namespace platform {

namespace {

constexpr std::array<std::string_view, static_cast<size_t>(ChangeKind::RestartRequested) + 1>
    kKindNames = {
        "FileWritten",    "FileCopied",     "FileDeleted",       "FileMoved",
        "FileAttributes", "FileTimes",      "DirectoryCreated",  "DirectoryRemoved",
        "DeferredRename", "KeyCreated",     "KeyDeleted",        "ValueSet",
        "ValueDeleted",   "ProfileWritten",
        "ServiceCreated", "ServiceChanged", "ServiceStarted",    "ServiceStopped",
        "ServiceDeleted", "ProgramStarted", "ProgramEnded",      "AccountChange",
        "AccessChange",   "FontAdded",      "FontRemoved",       "TypeLibraryChange",
        "OdbcChange",     "PrinterChange",  "Broadcast",         "DdeCommand",
        "ClipboardSet",   "WindowClosed",   "NetworkConnection", "RestartRequested",
};
static_assert(!kKindNames.back().empty(), "every kind of change needs a name");

}  // namespace

std::string_view ChangeKindName(ChangeKind kind) {
  return kKindNames[static_cast<size_t>(kind)];
}

size_t ChangeLog::Add(ChangeKind kind, std::string target, std::string detail) {
  m_changes.push_back({kind, std::move(target), std::move(detail)});
  return m_changes.size() - 1;
}

}  // namespace platform
