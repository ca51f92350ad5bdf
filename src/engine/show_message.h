// ShowMessage: the one operation that turns a catalog message number and its arguments into a
// result number. Until the message catalog owns it, it records the message on the run and
// answers OK (2), which is what an unattended run answers to the load failures that use it.
#pragma once
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tarvium {

struct SetupRun;

using MessageArg = std::variant<std::string, int64_t>;

// The result numbers every caller of ShowMessage compares with.
inline constexpr int kResultAll = 1;  // also None
inline constexpr int kResultOk = 2;   // also Cancel
inline constexpr int kResultIgnore = 5;
inline constexpr int kResultYes = 6;
inline constexpr int kResultNo = 7;

struct ShownMessage {
  int nMessage = 0;
  std::vector<MessageArg> args;
};

int ShowMessageWith(SetupRun& run, int nMessage, std::vector<MessageArg> args);

template <class... Args>
int ShowMessage(SetupRun& run, int nMessage, Args&&... args) {
  return ShowMessageWith(run, nMessage, {MessageArg(std::forward<Args>(args))...});
}

}  // namespace tarvium
