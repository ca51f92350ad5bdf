#include "ui/win32/dialog_template.h"

namespace tarvium::ui::win32 {
namespace {

// The dialogs' font: the system's user-interface face at its usual size.
constexpr wchar_t kFontFace[] = L"Segoe UI";
constexpr WORD kFontPoints = 9;

void PutDword(std::vector<WORD>& words, DWORD value) {
  words.push_back(LOWORD(value));
  words.push_back(HIWORD(value));
}

void PutText(std::vector<WORD>& words, const std::wstring& text) {
  for (wchar_t c : text) words.push_back(static_cast<WORD>(c));
  words.push_back(0);
}

// Each control's record starts on a DWORD boundary.
void AlignDword(std::vector<WORD>& words) {
  if (words.size() % 2) words.push_back(0);
}

void PutControl(std::vector<WORD>& words, const DialogControl& control) {
  AlignDword(words);
  PutDword(words, 0);  // help ID
  PutDword(words, control.exStyle);
  PutDword(words, control.style | WS_CHILD | WS_VISIBLE);
  for (short value : {control.x, control.y, control.cx, control.cy})
    words.push_back(static_cast<WORD>(value));
  PutDword(words, static_cast<DWORD>(control.nId));
  if (control.className.empty()) {
    words.push_back(0xFFFF);
    words.push_back(static_cast<WORD>(control.predefined));
  } else {
    PutText(words, control.className);
  }
  PutText(words, control.text);
  words.push_back(0);  // no creation data
}

}  // namespace

DialogTemplate::DialogTemplate(std::wstring title, short cx, short cy, DWORD style)
    : title_(std::move(title)), cx_(cx), cy_(cy), style_(style) {}

const DLGTEMPLATE* DialogTemplate::Data() {
  words_.clear();
  words_.push_back(1);       // version of the extended template
  words_.push_back(0xFFFF);  // its signature
  PutDword(words_, 0);       // help ID
  PutDword(words_, 0);       // extended style
  PutDword(words_, style_ | DS_SETFONT | DS_SHELLFONT);
  words_.push_back(static_cast<WORD>(controls_.size()));
  for (short value : {short{0}, short{0}, cx_, cy_}) words_.push_back(static_cast<WORD>(value));
  words_.push_back(0);  // no menu
  words_.push_back(0);  // the dialog class
  PutText(words_, title_);
  words_.push_back(kFontPoints);
  words_.push_back(FW_NORMAL);
  words_.push_back(static_cast<WORD>(DEFAULT_CHARSET << 8));  // upright, the default charset
  PutText(words_, kFontFace);
  for (const DialogControl& control : controls_) PutControl(words_, control);
  return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
}

}  // namespace tarvium::ui::win32
