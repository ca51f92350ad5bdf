// Where Browse starts, from the entry field's text, on a real temporary machine.
#include "ui/browse_start.h"

#include <gtest/gtest.h>

#include "support/test_machine.h"

namespace tarvium::ui {
namespace {

TEST(BrowseStart, ExistingDirectoryOrTheOneAboveWithDrivesCompleted) {
  test::TestMachine test;
  platform::FileSystem& files = test.Machine().Files();
  ASSERT_EQ(files.CreateDirectoryTree("C:\\Program Files\\Vendor"), 0u);
  ASSERT_EQ(files.WriteWholeFile("C:\\Program Files\\Vendor\\App.exe", "MZ"), 0u);
  struct Case {
    const char* field;
    const char* start;
  } cases[] = {
      {"C:\\Program Files\\Vendor", "C:\\Program Files\\Vendor"},
      {"C:\\Program Files\\Vendor\\New App", "C:\\Program Files\\Vendor"},
      {"C:\\Program Files\\Vendor\\App.exe", "C:\\Program Files\\Vendor"},  // a file, not a dir
      {"C:\\Program Files\\Vendor\\", "C:\\Program Files\\Vendor\\"},
      {"C:\\Missing\\Deeper\\", "C:\\Missing\\Deeper"},  // cut once, however far it leads
      {"C:\\New", "C:\\"},
      {"d:", "d:\\"},
      {"C:\\", "C:\\"},
      {"Relative", "Relative"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(BrowseStartDirectory(c.field, files), c.start) << c.field;
}

}  // namespace
}  // namespace tarvium::ui
