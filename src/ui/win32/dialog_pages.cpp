#include "ui/win32/dialog_pages.h"

namespace tarvium::ui::win32 {
namespace {

struct PageRow {
  PageKind kind;
  DialogPageFunction show;
};

constexpr PageRow kPages[] = {
    {PageKind::Admin, ShowChoicePage},
    {PageKind::SameVersion, ShowChoicePage},
    {PageKind::Licence, ShowLicencePage},
    {PageKind::Info, ShowInfoPage},
    {PageKind::FromCD, ShowChoicePage},
    {PageKind::Shared, ShowChoicePage},
    {PageKind::Mode, ShowChoicePage},
    {PageKind::Directory, ShowDirectoryPage},
    {PageKind::DataDirectory, ShowDirectoryPage},
    {PageKind::User, ShowUserPage},
    {PageKind::Disk, ShowDiskPage},
    {PageKind::Value, ShowValuePage},
    {PageKind::Processes, ShowProcessesPage},
    {PageKind::Restart, ShowRestartPage},
};

}  // namespace

DialogPageFunction DialogPageOf(PageKind kind) {
  for (const PageRow& row : kPages)
    if (row.kind == kind) return row.show;
  return nullptr;
}

}  // namespace tarvium::ui::win32
