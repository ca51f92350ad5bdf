// DDE conversations of the real Windows through the DDE management library (DDEML), as a client
// only. The library is bound to the thread that first opens a conversation: every call must come
// from that thread, which must also be the one that handles its window messages.
#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "platform/dde.h"

namespace platform::win32 {

class Win32Dde final : public Dde {
 public:
  Win32Dde() = default;
  Win32Dde(const Win32Dde&) = delete;
  Win32Dde& operator=(const Win32Dde&) = delete;
  ~Win32Dde() override;

  uint32_t Initiate(const std::string& application, const std::string& topic, uint32_t nTimeoutMs,
                    DdeConversation& hConv) override;
  uint32_t Execute(DdeConversation hConv, const std::string& command, bool& bAccepted) override;
  uint32_t Terminate(DdeConversation hConv) override;

 private:
  struct Conversation {
    uintptr_t hConv = 0;      // the library's HCONV
    uint32_t nTimeoutMs = 0;  // how long a command may wait for its acknowledgement
  };

  uint32_t EnsureInstance();

  uint32_t dwInstance_ = 0;  // the library's instance, 0 until the first conversation
  uint32_t nNextHandle_ = 1;
  std::map<uint32_t, Conversation> conversations_;
};

}  // namespace platform::win32
