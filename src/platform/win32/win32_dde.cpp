// The application and topic become the library's string handles, which compare without regard to
// case. DdeConnect offers no time-out of its own (it asks every top-level window at once); the
// time-out the conversation was initiated with bounds each command's wait for its acknowledgement.
// The library reports its failures as DMLERR_* codes, turned here into the Windows errors the
// engine knows; a negative acknowledgement is no error but a refused command.
#include "platform/win32/win32_dde.h"

#include <algorithm>

#include "platform/win_error.h"

#include "platform/win32/windows_api.h"

#include <ddeml.h>  // after <windows.h>, whose types it uses

namespace platform::win32 {
namespace {

// A client-only instance is told of nothing it has to answer.
HDDEDATA CALLBACK IgnoreTransactions(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

uint32_t WindowsErrorOf(UINT nDdeError) {
  switch (nDdeError) {
    case DMLERR_NO_ERROR:
      return ERROR_SUCCESS;
    case DMLERR_NO_CONV_ESTABLISHED:
      return ERROR_FILE_NOT_FOUND;
    case DMLERR_EXECACKTIMEOUT:
    case DMLERR_BUSY:
      return ERROR_WAIT_TIMEOUT;
    case DMLERR_INVALIDPARAMETER:
      return ERROR_INVALID_PARAMETER;
    case DMLERR_MEMORY_ERROR:
    case DMLERR_LOW_MEMORY:
      return ERROR_NOT_ENOUGH_MEMORY;
    case DMLERR_SERVER_DIED:
      return ERROR_BROKEN_PIPE;
    case DMLERR_DLL_USAGE:
      return ERROR_ACCESS_DENIED;
    default:  // the library failed to post or to handle a message, or is not initialised
      return ERROR_GEN_FAILURE;
  }
}

// A string handle of the instance, freed with the holder.
class DdeString {
 public:
  DdeString(DWORD dwInstance, const std::string& text)
      : dwInstance_(dwInstance),
        hsz_(DdeCreateStringHandleA(dwInstance, text.c_str(), CP_WINANSI)) {}
  DdeString(const DdeString&) = delete;
  DdeString& operator=(const DdeString&) = delete;
  ~DdeString() {
    if (hsz_) DdeFreeStringHandle(dwInstance_, hsz_);
  }
  HSZ Get() const { return hsz_; }

 private:
  DWORD dwInstance_;
  HSZ hsz_;
};

// A synchronous transaction's time-out: 0 is not one, and TIMEOUT_ASYNC would not wait at all.
DWORD TransactionTimeout(uint32_t nTimeoutMs) {
  return std::clamp<DWORD>(nTimeoutMs, 1, TIMEOUT_ASYNC - 1);
}

}  // namespace

Win32Dde::~Win32Dde() {
  if (dwInstance_ == 0) return;
  for (const auto& [nHandle, conversation] : conversations_)
    DdeDisconnect(reinterpret_cast<HCONV>(conversation.hConv));
  DdeUninitialize(dwInstance_);
}

uint32_t Win32Dde::EnsureInstance() {
  if (dwInstance_ != 0) return ERROR_SUCCESS;
  DWORD dwInstance = 0;
  const UINT nResult = DdeInitializeA(&dwInstance, IgnoreTransactions, APPCMD_CLIENTONLY, 0);
  if (nResult != DMLERR_NO_ERROR) return WindowsErrorOf(nResult);
  dwInstance_ = dwInstance;
  return ERROR_SUCCESS;
}

uint32_t Win32Dde::Initiate(const std::string& application, const std::string& topic,
                            uint32_t nTimeoutMs, DdeConversation& hConv) {
  hConv = DdeConversation::None;
  if (const uint32_t err = EnsureInstance()) return err;
  const DdeString service(dwInstance_, application);
  const DdeString subject(dwInstance_, topic);
  if (!service.Get() || !subject.Get()) return WindowsErrorOf(DdeGetLastError(dwInstance_));
  HCONV conversation = DdeConnect(dwInstance_, service.Get(), subject.Get(), nullptr);
  if (!conversation) return WindowsErrorOf(DdeGetLastError(dwInstance_));
  const uint32_t nHandle = nNextHandle_++;
  conversations_[nHandle] = {reinterpret_cast<uintptr_t>(conversation), nTimeoutMs};
  hConv = static_cast<DdeConversation>(nHandle);
  return ERROR_SUCCESS;
}

uint32_t Win32Dde::Execute(DdeConversation hConv, const std::string& command, bool& bAccepted) {
  bAccepted = false;
  const auto found = conversations_.find(static_cast<uint32_t>(hConv));
  if (found == conversations_.end()) return ERROR_INVALID_HANDLE;
  std::string text = command;  // the library takes the bytes, with their terminating zero
  DWORD dwStatus = 0;
  const HDDEDATA result = DdeClientTransaction(
      reinterpret_cast<LPBYTE>(text.data()), static_cast<DWORD>(text.size() + 1),
      reinterpret_cast<HCONV>(found->second.hConv), nullptr, 0, XTYP_EXECUTE,
      TransactionTimeout(found->second.nTimeoutMs), &dwStatus);
  if (result) {  // the server acknowledged positively
    bAccepted = true;
    return ERROR_SUCCESS;
  }
  const UINT nDdeError = DdeGetLastError(dwInstance_);
  return nDdeError == DMLERR_NOTPROCESSED ? ERROR_SUCCESS : WindowsErrorOf(nDdeError);
}

uint32_t Win32Dde::Terminate(DdeConversation hConv) {
  const auto found = conversations_.find(static_cast<uint32_t>(hConv));
  if (found == conversations_.end()) return ERROR_INVALID_HANDLE;
  const HCONV conversation = reinterpret_cast<HCONV>(found->second.hConv);
  conversations_.erase(found);
  return DdeDisconnect(conversation) ? ERROR_SUCCESS : WindowsErrorOf(DdeGetLastError(dwInstance_));
}

}  // namespace platform::win32
