// A dialog template built in memory, as DialogBoxIndirectParamW and CreateDialogIndirectParamW
// take it (the extended form, DLGTEMPLATEEX): the pages and boxes are laid out in dialog units, so
// that the system scales them with the dialog font and the monitor's DPI, and no page needs a
// resource of its own in the program.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/win32/windows_ui_api.h"

namespace tarvium::ui::win32 {

// The predefined classes a template can name by number.
enum class ControlClass : uint16_t {
  Button = 0x0080,
  Edit = 0x0081,
  Static = 0x0082,
  ListBox = 0x0083,
  ComboBox = 0x0085,
};

struct DialogControl {
  std::wstring className;  // a registered class (the common controls); empty: `predefined`
  ControlClass predefined = ControlClass::Static;
  std::wstring text;
  int nId = -1;
  DWORD style = 0;  // WS_CHILD and WS_VISIBLE are added
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
};

class DialogTemplate {
 public:
  DialogTemplate(std::wstring title, short cx, short cy, DWORD style);
  void Add(DialogControl control) { controls_.push_back(std::move(control)); }
  // The template's words, aligned as the system reads them; valid while this object lives.
  const DLGTEMPLATE* Data();

 private:
  std::wstring title_;
  short cx_;
  short cy_;
  DWORD style_;
  std::vector<DialogControl> controls_;
  std::vector<WORD> words_;
};

}  // namespace tarvium::ui::win32
