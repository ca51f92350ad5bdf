// The network management functions of the accounts' write side, found in netapi32 when they are
// called rather than imported: Wine's netapi32 has no NetJoinDomain, and one missing import would
// keep every program of the build from starting. An operation whose function cannot be found
// fails with ERROR_PROC_NOT_FOUND. The functions take UTF-16 text, each text at most 255
// characters.
#pragma once
#include <cstdint>
#include <string>

#include "platform/win_error.h"

namespace platform::win32 {

// The named entry point of netapi32, or nullptr.
void* FindNetApiEntry(const char* name);

template <typename Function, typename... Args>
uint32_t CallNetApi(const char* name, Args... args) {
  auto* function = reinterpret_cast<Function*>(FindNetApiEntry(name));
  return function ? static_cast<uint32_t>(function(args...)) : ERROR_PROC_NOT_FOUND;
}

// CALL_NETAPI(NetUserDel, server, name): the function by its declared type and its own name.
#define CALL_NETAPI(function, ...) CallNetApi<decltype(::function)>(#function, __VA_ARGS__)

// Frees a buffer a network management function returned.
void FreeNetBuffer(void* buffer);

// ANSI text as the functions take it: UTF-16, cut to 255 characters.
std::wstring NetText(const std::string& text);
// The text, or nullptr when it is empty (a server's name for this computer, no account, ...);
// some of the functions take their texts as non-constant.
wchar_t* NullIfEmpty(std::wstring& text);

}  // namespace platform::win32
