// The recording machine's services, each built over the wrapped machine's own and the one log.
#include "platform/recording/recording_machine.h"

namespace platform {

namespace {

std::string FolderOf(Machine& machine, SpecialFolder folder) {
  std::string path;
  machine.System().GetSpecialFolder(folder, path);
  return path;
}

}  // namespace

RecordingMachine::RecordingMachine(Machine& wrapped)
    : m_wrapped(wrapped),
      m_files(wrapped.Files(), wrapped.Time(), m_changes),
      m_registry(wrapped.Reg(), wrapped.Time(), m_changes),
      m_profile(m_files, FolderOf(wrapped, SpecialFolder::Windows), m_registry),
      m_environment(wrapped.Env()),
      m_processes(wrapped.Programs(), *this, m_files, m_changes),
      m_power(wrapped.PowerRequests(), m_changes),
      m_network(wrapped.Net(), m_changes),
      m_modules(wrapped.Libraries()),
      m_accounts(wrapped.Users(), m_changes),
      m_clipboard(wrapped.Clip(), m_changes),
      m_dde(wrapped.DdeServers(), m_changes),
      m_broadcast(wrapped.Broadcasts(), m_changes),
      m_fonts(m_changes),
      m_windows(wrapped.TopWindows(), m_changes),
      m_spooler(wrapped.Printing(), m_registry, m_files, m_changes),
      m_services(wrapped.Services(), m_changes),
      m_access(wrapped.Access(), m_changes),
      m_odbc(wrapped.Odbc(), m_registry, m_profile, FolderOf(wrapped, SpecialFolder::System),
             m_changes),
      m_com(wrapped.Com(), m_changes) {}

}  // namespace platform
