#include "win32/test_dde_server.h"

#include <atomic>

#include "platform/win32/windows_api.h"

#include <ddeml.h>  // after <windows.h>, whose types it uses

namespace tarvium::test {
namespace {

// The library calls back in the thread that made the instance: the server of that thread.
thread_local TestDdeServer* tServer = nullptr;
thread_local DWORD tInstance = 0;

std::string QueryString(HSZ hsz) {
  char text[256] = {};
  DdeQueryStringA(tInstance, hsz, text, sizeof text, CP_WINANSI);
  return text;
}

std::string DataText(HDDEDATA data) {
  std::string text(DdeGetData(data, nullptr, 0, 0), '\0');
  DdeGetData(data, reinterpret_cast<LPBYTE>(text.data()), static_cast<DWORD>(text.size()), 0);
  return text.substr(0, text.find('\0'));
}

HDDEDATA CALLBACK ServerCallback(UINT uType, UINT, HCONV, HSZ hsz1, HSZ, HDDEDATA data, ULONG_PTR,
                                 ULONG_PTR) {
  switch (uType) {
    case XTYP_CONNECT:  // hsz1 is the topic asked for
      return reinterpret_cast<HDDEDATA>(static_cast<uintptr_t>(
          lstrcmpiA(QueryString(hsz1).c_str(), tServer->Topic().c_str()) == 0));
    case XTYP_EXECUTE:
      return reinterpret_cast<HDDEDATA>(
          static_cast<uintptr_t>(tServer->Record(DataText(data)) ? DDE_FACK : DDE_FNOTPROCESSED));
    default:
      return nullptr;
  }
}

}  // namespace

TestDdeServer::TestDdeServer(const std::string& service, const std::string& topic) : topic_(topic) {
  std::atomic<bool> bStarted{false};
  thread_ = std::thread([this, service, &bStarted] {
    dwThreadId_ = GetCurrentThreadId();
    tServer = this;
    DWORD dwInstance = 0;
    const UINT nResult =
        DdeInitializeA(&dwInstance, ServerCallback,
                       APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_REQUESTS | CBF_FAIL_POKES |
                           CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                       0);
    HSZ hszService = nullptr;
    if (nResult == DMLERR_NO_ERROR) {
      tInstance = dwInstance;
      hszService = DdeCreateStringHandleA(dwInstance, service.c_str(), CP_WINANSI);
      bServing_ = DdeNameService(dwInstance, hszService, nullptr, DNS_REGISTER) != nullptr;
    }
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
    bStarted = true;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (nResult != DMLERR_NO_ERROR) return;
    DdeNameService(dwInstance, hszService, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(dwInstance, hszService);
    DdeUninitialize(dwInstance);
  });
  while (!bStarted) Sleep(1);
}

TestDdeServer::~TestDdeServer() {
  PostThreadMessageA(dwThreadId_, WM_QUIT, 0, 0);
  thread_.join();
}

std::vector<std::string> TestDdeServer::Commands() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return commands_;
}

bool TestDdeServer::Record(const std::string& command) {
  std::lock_guard<std::mutex> lock(mutex_);
  commands_.push_back(command);
  return command.find(kRefusedWord) == std::string::npos;
}

}  // namespace tarvium::test
