#include "ui/win32/dialog_pages.h"

namespace tarvium::ui::win32 {
namespace {

struct PageRow {
  PageKind kind;
  DialogPageFunction show;
};

constexpr PageRow kPages[] = {
    {PageKind::Admin, ShowAdminPage},
    {PageKind::SameVersion, ShowSameVersionPage},
    {PageKind::Licence, ShowLicencePage},
    {PageKind::Info, ShowInfoPage},
    {PageKind::FromCD, ShowFromCDPage},
    {PageKind::Shared, ShowSharedPage},
    {PageKind::Mode, ShowModePage},
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
