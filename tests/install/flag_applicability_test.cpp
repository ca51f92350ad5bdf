// Whether copy lines and section references apply to a run, by their copy flags.
#include <gtest/gtest.h>

#include "install/copy_flags.h"
#include "install/flag_applicability.h"
#include "install_test_run.h"

namespace tarvium::test {
namespace {

enum RunKind { kPlain, kAdmin, kWorkstation, kClient, kUser, kUninstall };

void Prepare(SetupContext& ctx, RunKind setup) {
  ctx.bAdminSetup = setup == kAdmin;
  ctx.bWorkstationSetup = setup == kWorkstation;
  ctx.bClientSetup = setup == kClient;
  ctx.bUserPartRun = setup == kUser;
  ctx.bUninstall = setup == kUninstall;
}

TEST(FlagApplicability, RunKindsPlatformsAndForms) {
  struct Case {
    RunKind setup;
    uint32_t dwFlags;
    bool bCopyLine;
    bool bReference;
  };
  const std::vector<Case> cases = {
      {kPlain, 0, true, true},
      {kPlain, COPY_WINDOWS64, true, true},  // the test machine is 64-bit
      {kPlain, COPY_WINDOWS32, false, false},
      {kPlain, COPY_WINDOWS32 | COPY_WINDOWS64, true, true},
      {kPlain, COPY_DOS, false, false},
      {kPlain, COPY_NT, true, true},
      {kPlain, COPY_ADMIN, false, false},
      {kAdmin, COPY_ADMIN | COPY_WINDOWS32, true, true},
      {kAdmin, COPY_CLIENT, true, false},
      {kAdmin, COPY_MACHINE, false, false},
      {kAdmin, COPY_LOCALAPP, false, false},
      {kClient, 0, false, true},
      {kClient, COPY_CLIENT, true, true},
      {kClient, COPY_MACHINE, false, false},
      {kClient, COPY_LOCALAPP | COPY_CLIENT, false, false},
      {kWorkstation, COPY_CLIENT, true, false},
      {kWorkstation, COPY_CLIENT | COPY_MACHINE, true, true},
      {kUser, COPY_CLIENT | COPY_MACHINE, false, false},
      {kUser, COPY_CLIENT, true, true},
      {kPlain, COPY_DELETE, false, false},
      {kUninstall, COPY_DELETE, true, true},
      {kUninstall, COPY_DONTDELETE, false, false},
  };
  InstallTestRun t("");
  for (const Case& c : cases) {
    Prepare(t.run.ctx, c.setup);
    EXPECT_EQ(FlagsApplyToRun(t.run, c.dwFlags, FlagForm::CopyLine), c.bCopyLine)
        << c.setup << " " << std::hex << c.dwFlags;
    EXPECT_EQ(FlagsApplyToRun(t.run, c.dwFlags, FlagForm::Reference), c.bReference)
        << c.setup << " " << std::hex << c.dwFlags;
  }
  t.run.ctx.bFromCD = true;
  Prepare(t.run.ctx, kWorkstation);
  EXPECT_FALSE(FlagsApplyToRun(t.run, COPY_CLIENT, FlagForm::CopyLine));
}

TEST(FlagApplicability, CopyLineFlagWords) {
  uint32_t dwCopy = 0, dwAttributes = 0;
  ASSERT_TRUE(
      ParseCopyLineFlags("SHAREDDLL+hidden|BACKUP)WINDOWS16 REGISTER", dwCopy, dwAttributes));
  EXPECT_EQ(dwCopy, COPY_SHAREDDLL | COPY_REGISTER);
  EXPECT_EQ(dwAttributes, 2u | 16u);
  EXPECT_FALSE(ParseCopyLineFlags("SHAREDDLL+FOO", dwCopy, dwAttributes));
  EXPECT_FALSE(ParseCopyLineFlags("12", dwCopy, dwAttributes));  // no numbers on copy lines
}

}  // namespace
}  // namespace tarvium::test
