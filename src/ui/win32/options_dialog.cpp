// The options page as a dialog: a tree of the options with their marks as state pictures (bulbs,
// a plain check box, three-state check marks, radio marks for an exclusive group's members) and
// each option's size at the right of its row; below it the count line, the selection's size, the
// space warning and Description, which shows the option's longer text. Space on the selected
// option or a click on its mark hands the toggle to the engine through the page; a refused toggle
// beeps. After every toggle all rows and lines are drawn again from the page, which holds the
// rules.
#include <string_view>

#include "platform/win32/win32_wide_text.h"
#include "ui/win32/dialog_pages.h"
#include "ui/win32/message_box_dialog.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/wizard_page.h"

namespace tarvium::ui::win32 {
namespace {

constexpr int kTreeId = 6401;
constexpr int kCountId = 6402;
constexpr int kSizeId = 6403;
constexpr int kWarningId = 6404;
constexpr int kDescriptionId = 6405;
constexpr short kFootUnits = 40;  // the lines and the Description button below the tree
constexpr short kButtonWidth = 60;

// The state pictures in the order of their numbers (0 is no picture).
enum StatePicture : int { kNone, kClear, kChecked, kPartial, kRadioClear, kRadioOn, kRadioPartial, kBulbOff, kBulbOn, kPictureCount };

int PictureOf(CheckmarkSet set, const OptionEntry& entry) {
  const std::string_view name = CheckmarkPicture(set, entry);
  const int nState = static_cast<int>(entry.state);
  if (name.starts_with("Radio")) return kRadioClear + nState;
  if (name.starts_with("Bulb")) return entry.bSelected ? kBulbOn : kBulbOff;
  if (name == "CheckBox") return entry.bSelected ? kChecked : kClear;
  return kClear + nState;
}

void DrawPicture(HDC hDC, int nPicture, const RECT& cell) {
  RECT box = cell;
  InflateRect(&box, -1, -1);
  switch (nPicture) {
    case kClear:
    case kChecked:
    case kPartial:
      DrawFrameControl(hDC, &box, DFC_BUTTON,
                       DFCS_BUTTONCHECK | (nPicture == kClear ? 0 : DFCS_CHECKED) |
                           (nPicture == kPartial ? DFCS_INACTIVE : 0));
      return;
    case kRadioClear:
    case kRadioOn:
    case kRadioPartial:
      DrawFrameControl(hDC, &box, DFC_BUTTON,
                       DFCS_BUTTONRADIO | (nPicture == kRadioClear ? 0 : DFCS_CHECKED) |
                           (nPicture == kRadioPartial ? DFCS_INACTIVE : 0));
      return;
    case kBulbOff:
    case kBulbOn: {
      const HBRUSH hBrush = CreateSolidBrush(nPicture == kBulbOn ? RGB(255, 220, 0) : RGB(160, 160, 160));
      const HGDIOBJ hOld = SelectObject(hDC, hBrush);
      Ellipse(hDC, box.left + 1, box.top + 1, box.right - 1, box.bottom - 1);
      SelectObject(hDC, hOld);
      DeleteObject(hBrush);
      return;
    }
    default:
      return;
  }
}

// The pictures drawn at the size of the system's small icons, for the monitor's DPI.
HIMAGELIST MakeStatePictures(HWND hTree) {
  const int nSize = GetSystemMetrics(SM_CXSMICON);
  const HIMAGELIST hList = ImageList_Create(nSize, nSize, ILC_COLOR32, kPictureCount, 0);
  const HDC hScreen = GetDC(hTree);
  const HDC hMemory = CreateCompatibleDC(hScreen);
  const HBITMAP hStrip = CreateCompatibleBitmap(hScreen, nSize * kPictureCount, nSize);
  const HGDIOBJ hOld = SelectObject(hMemory, hStrip);
  const RECT strip{0, 0, nSize * kPictureCount, nSize};
  FillRect(hMemory, &strip, GetSysColorBrush(COLOR_WINDOW));
  for (int i = kClear; i < kPictureCount; ++i)
    DrawPicture(hMemory, i, RECT{i * nSize, 0, (i + 1) * nSize, nSize});
  SelectObject(hMemory, hOld);
  ImageList_Add(hList, hStrip, nullptr);
  DeleteObject(hStrip);
  DeleteDC(hMemory);
  ReleaseDC(hTree, hScreen);
  return hList;
}

class OptionsTree {
 public:
  OptionsTree(WizardPage& shown, OptionsPage& page) : shown_(shown), page_(page) {}
  ~OptionsTree() {
    if (hPictures_) ImageList_Destroy(hPictures_);
  }
  OptionsTree(const OptionsTree&) = delete;
  OptionsTree& operator=(const OptionsTree&) = delete;

  void Fill() {
    hTree_ = shown_.Item(kTreeId);
    hPictures_ = MakeStatePictures(hTree_);
    TreeView_SetImageList(hTree_, hPictures_, TVSIL_STATE);
    std::vector<HTREEITEM> parents;  // the last item of each depth
    for (size_t i = 0; i < page_.entries.size(); ++i) {
      const OptionEntry& entry = page_.entries[i];
      const size_t nDepth = static_cast<size_t>(std::max(entry.nDepth, 1));
      parents.resize(nDepth);
      const std::wstring title = platform::win32::WideFromAnsi(entry.title);
      TVINSERTSTRUCTW insert{};
      insert.hParent = nDepth > 1 && parents[nDepth - 2] ? parents[nDepth - 2] : TVI_ROOT;
      insert.hInsertAfter = TVI_LAST;
      insert.item.mask = TVIF_TEXT | TVIF_PARAM;
      insert.item.pszText = const_cast<wchar_t*>(title.c_str());
      insert.item.lParam = static_cast<LPARAM>(i);
      parents[nDepth - 1] = TreeView_InsertItem(hTree_, &insert);
      items_.push_back(parents[nDepth - 1]);
    }
    for (HTREEITEM hItem : items_) TreeView_Expand(hTree_, hItem, TVE_EXPAND);
    if (!items_.empty()) TreeView_SelectItem(hTree_, items_.front());
    Refresh();
  }

  LRESULT OnNotify(const NMHDR& header) {
    if (header.idFrom != kTreeId) return 0;
    switch (header.code) {
      case TVN_KEYDOWN:
        if (reinterpret_cast<const NMTVKEYDOWN&>(header).wVKey != VK_SPACE) return 0;
        Toggle(TreeView_GetSelection(hTree_));
        return 1;
      case NM_CLICK:
        return OnClick();
      case NM_CUSTOMDRAW:
        return OnCustomDraw(reinterpret_cast<const NMTVCUSTOMDRAW&>(header));
      default:
        return 0;
    }
  }

  void ShowDescription() const {
    const size_t nEntry = EntryOf(TreeView_GetSelection(hTree_));
    if (nEntry >= page_.entries.size()) return;
    const OptionEntry& entry = page_.entries[nEntry];
    MessageBoxRequest box;
    box.caption = entry.title;
    box.text = entry.description.empty() ? entry.title : entry.description;
    box.buttons = {{"&OK", 2}};
    ShowMessageBoxDialog(shown_.Session(), box);
  }

 private:
  size_t EntryOf(HTREEITEM hItem) const {
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = hItem;
    return hItem && TreeView_GetItem(hTree_, &item) ? static_cast<size_t>(item.lParam)
                                                     : page_.entries.size();
  }

  void Toggle(HTREEITEM hItem) {
    const size_t nEntry = EntryOf(hItem);
    if (nEntry >= page_.entries.size()) return;
    if (!page_.toggle || !page_.toggle(page_, nEntry)) MessageBeep(MB_OK);
    Refresh();
  }

  LRESULT OnClick() {
    TVHITTESTINFO hit{};
    const DWORD nPosition = GetMessagePos();
    hit.pt = {static_cast<short>(LOWORD(nPosition)), static_cast<short>(HIWORD(nPosition))};
    ScreenToClient(hTree_, &hit.pt);
    const HTREEITEM hItem = TreeView_HitTest(hTree_, &hit);
    if (!hItem || !(hit.flags & TVHT_ONITEMSTATEICON)) return 0;
    TreeView_SelectItem(hTree_, hItem);
    Toggle(hItem);
    return 1;
  }

  // Each row's size at its right end.
  LRESULT OnCustomDraw(const NMTVCUSTOMDRAW& draw) const {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) return CDRF_NOTIFYPOSTPAINT;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPOSTPAINT) return CDRF_DODEFAULT;
    const size_t nEntry = static_cast<size_t>(draw.nmcd.lItemlParam);
    if (nEntry >= page_.entries.size()) return CDRF_DODEFAULT;
    const std::wstring size = platform::win32::WideFromAnsi(page_.entries[nEntry].sizeText);
    RECT row = draw.nmcd.rc;
    row.right -= GetSystemMetrics(SM_CXSMICON) / 2;
    SetBkMode(draw.nmcd.hdc, TRANSPARENT);
    SetTextColor(draw.nmcd.hdc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(draw.nmcd.hdc, size.c_str(), -1, &row, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    return CDRF_DODEFAULT;
  }

  void Refresh() const {
    for (size_t i = 0; i < items_.size(); ++i) {
      const int nPicture = PictureOf(page_.checkmarks, page_.entries[i]);
      TreeView_SetItemState(hTree_, items_[i], INDEXTOSTATEIMAGEMASK(nPicture), TVIS_STATEIMAGEMASK);
    }
    InvalidateRect(hTree_, nullptr, FALSE);
    shown_.SetItemText(kCountId, platform::win32::WideFromAnsi(page_.countLine));
    shown_.SetItemText(kSizeId, platform::win32::WideFromAnsi(page_.selectionSizeText));
    shown_.SetItemText(kWarningId, platform::win32::WideFromAnsi(page_.spaceWarning));
  }

  WizardPage& shown_;
  OptionsPage& page_;
  HWND hTree_ = nullptr;
  HIMAGELIST hPictures_ = nullptr;
  std::vector<HTREEITEM> items_;
};

}  // namespace

int ShowOptionsDialog(DialogSession& session, OptionsPage& page) {
  PageRequest frame;
  frame.bBack = page.bBack;
  frame.bCancel = page.bCancel;
  WizardPage shown(session, frame, PageText::OptionsHeading, 6400);
  shown.AddControl({.className = WC_TREEVIEWW,
                    .nId = kTreeId,
                    .style = WS_TABSTOP | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS |
                             TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                    .cy = static_cast<short>(shown.RowsLeft() - kFootUnits)});
  const short nHalf = WizardPage::kBodyWidth / 2;
  shown.AddControl({.nId = kCountId, .style = SS_LEFT | SS_NOPREFIX, .cx = nHalf, .cy = 8});
  shown.AddControl({.nId = kSizeId, .style = SS_RIGHT | SS_NOPREFIX, .x = nHalf, .cx = nHalf, .cy = 8},
                   true);
  shown.AddControl({.nId = kWarningId, .style = SS_LEFT | SS_NOPREFIX, .cy = 8});
  shown.AddButton(kDescriptionId, shown.WideText(PageText::OptionsDescription),
                  WizardPage::kBodyWidth - kButtonWidth, kButtonWidth);
  OptionsTree tree(shown, page);
  shown.WhenOpen([&] { tree.Fill(); });
  shown.OnNotifications([&](const NMHDR& header) { return tree.OnNotify(header); });
  shown.Focus(kTreeId);
  return shown.Run({}, [&](int nButton) {
    if (nButton == kDescriptionId) tree.ShowDescription();
  });
}

}  // namespace tarvium::ui::win32
