#include "sysconfig/use_counts.h"

#include "engine/registry_operations.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "install/install_engine.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

using platform::RegRoot;

constexpr const char* kUsageCountKey = "Software\\UsageCount\\Setup";

std::string CountKey(const UsedObject& object) {
  switch (object.kind) {
    case UsedObject::Kind::User:
      return std::string(kUsageCountKey) + "\\LocalUser";
    case UsedObject::Kind::Group:
      return std::string(kUsageCountKey) + "\\LocalGroup";
    case UsedObject::Kind::Membership:
      break;
  }
  return std::string(kUsageCountKey) + "\\LocalGroup\\" + object.group;
}

// The count, 0 when none is recorded; the registry's error for anything else.
uint32_t ReadCount(SetupRun& run, const std::string& key, const std::string& name,
                   uint32_t& nCount, bool& bRecorded) {
  platform::RegValue value;
  nCount = 0;
  bRecorded = false;
  const uint32_t err = run.machine.Reg().QueryValue(RegRoot::LocalMachine, key, name, value);
  if (err == platform::ERROR_FILE_NOT_FOUND) return platform::ERROR_SUCCESS;
  if (err != platform::ERROR_SUCCESS) return err;
  for (size_t i = 0; i < value.data.size() && i < 4; ++i)
    nCount |= static_cast<uint32_t>(value.data[i]) << (8 * i);
  bRecorded = true;
  return platform::ERROR_SUCCESS;
}

// 5556, 5557 or 5558; Yes without asking in silent runs and after All.
bool ConfirmsDeletion(SetupRun& run, const UsedObject& object) {
  InstallEngine& engine = EngineOf(run);
  if (run.ctx.bSilent || engine.bAnswerAllUnused) return true;
  int nAnswer = 0;
  switch (object.kind) {
    case UsedObject::Kind::Group:
      nAnswer = ShowMessage(run, 5556, object.name);
      break;
    case UsedObject::Kind::User:
      nAnswer = ShowMessage(run, 5557, object.name);
      break;
    case UsedObject::Kind::Membership:
      nAnswer = ShowMessage(run, 5558, object.name, object.group);
      break;
  }
  if (nAnswer == kResultAll) engine.bAnswerAllUnused = true;
  return nAnswer == kResultAll || nAnswer == kResultYes;
}

bool IgnoredDeleteFailure(SetupRun& run, const std::string& key, uint32_t err) {
  return ShowMessage(run, 5519, key, int64_t{err}) == kResultIgnore;
}

}  // namespace

bool RecordUse(SetupRun& run, const UsedObject& object, bool bExisted, bool bCountExisting) {
  const std::string key = CountKey(object);
  uint32_t nCount = 0;
  bool bRecorded = false;
  uint32_t err = ReadCount(run, key, object.name, nCount, bRecorded);
  if (err == platform::ERROR_SUCCESS) {
    nCount = !bRecorded && bExisted && bCountExisting ? 2 : nCount + 1;
    err = RegWriteDword(run, RegRoot::LocalMachine, key, object.name, nCount);
  }
  if (err == platform::ERROR_SUCCESS) return true;
  return ShowMessage(run, 5518, key, int64_t{err}) == kResultIgnore;
}

bool ReleaseUse(SetupRun& run, const UsedObject& object, bool bApproved, bool& bDelete) {
  bDelete = false;
  const std::string key = CountKey(object);
  uint32_t nCount = 0;
  bool bRecorded = false;
  uint32_t err = ReadCount(run, key, object.name, nCount, bRecorded);
  if (err == platform::ERROR_SUCCESS && !bRecorded) err = platform::ERROR_FILE_NOT_FOUND;
  if (err != platform::ERROR_SUCCESS) return IgnoredDeleteFailure(run, key, err);
  if (nCount > 1) {
    err = RegWriteDword(run, RegRoot::LocalMachine, key, object.name, nCount - 1);
    return err == platform::ERROR_SUCCESS || IgnoredDeleteFailure(run, key, err);
  }
  // The last use has ended: Yes and All take the count and approve; No keeps both.
  if (!bApproved && !ConfirmsDeletion(run, object)) return true;
  err = RegDeleteValueAt(run, RegRoot::LocalMachine, key, object.name);
  if (err != platform::ERROR_SUCCESS) return IgnoredDeleteFailure(run, key, err);
  RegPruneEmptyKeys(run, RegRoot::LocalMachine, key, true);
  bDelete = true;
  return true;
}

}  // namespace tarvium
