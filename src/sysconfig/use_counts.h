// The use counts of the users, groups and memberships that security commands create, kept in the
// machine hive below "Software\UsageCount\Setup" so that they outlive the run: one value per
// user (key LocalUser), per group (key LocalGroup) and per member (key LocalGroup\<group>). An
// install raises the count, a removal lowers it and, when it reaches 0, asks whether the object
// may go. A count that is not there cannot be released (5519).
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

struct UsedObject {
  enum class Kind { User, Group, Membership } kind;
  std::string name;   // the user, the group, or the member
  std::string group;  // the group of a membership
};

// Raises the count by 1, or starts it at 2 for an object that existed before when bCountExisting
// is set and none was recorded. False when writing failed and 5518 was not answered Ignore.
bool RecordUse(SetupRun& run, const UsedObject& object, bool bExisted, bool bCountExisting);
// Lowers the count; bDelete tells whether the object may be deleted now (the count reached 0 and
// the question was answered Yes or All, or bApproved). False when the count could not be changed
// and 5519 was not answered Ignore.
bool ReleaseUse(SetupRun& run, const UsedObject& object, bool bApproved, bool& bDelete);

}  // namespace tarvium
