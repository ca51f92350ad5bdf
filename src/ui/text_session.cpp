#include "ui/text_session.h"

#include <newt.h>

#include <clocale>
#include <utility>

#include "platform/code_page.h"

namespace tarvium::ui {

TextSession::~TextSession() {
  if (!bOpen_) return;
  if (bScreenSuspended_) newtResume();
  newtFinished();
}

void TextSession::BeginDialog() {
  if (!bOpen_) {
    // The terminal's character set (UTF-8) for the drawing; the engine's own texts stay ANSI.
    std::setlocale(LC_CTYPE, "");
    newtInit();
    newtCls();
    bOpen_ = true;
  } else if (bScreenSuspended_) {
    newtResume();
    bScreenSuspended_ = false;
  }
}

void TextSession::EndDialog() {
  if (bOpen_ && nSuspended_ > 0 && !bScreenSuspended_) {
    newtSuspend();
    bScreenSuspended_ = true;
  } else if (bOpen_) {
    newtRefresh();
  }
}

void TextSession::Suspend() {
  if (nSuspended_++ > 0 || !bOpen_ || bScreenSuspended_) return;
  newtSuspend();
  bScreenSuspended_ = true;
}

void TextSession::Resume() {
  if (nSuspended_ == 0 || --nSuspended_ > 0 || !bOpen_ || !bScreenSuspended_) return;
  newtResume();
  bScreenSuspended_ = false;
  newtRefresh();
}

namespace {

// The terminal's columns and rows; 80x24 before newt is started.
std::pair<int, int> ScreenSize(bool bOpen) {
  int nCols = 80, nRows = 24;
  if (bOpen) newtGetScreenSize(&nCols, &nRows);
  return {nCols, nRows};
}

}  // namespace

int TextSession::Columns() const {
  return ScreenSize(bOpen_).first;
}

int TextSession::Rows() const {
  return ScreenSize(bOpen_).second;
}

std::string ForDisplay(const std::string& ansiText) {
  return platform::AnsiToUtf8(ansiText);
}

std::string FromDisplay(const std::string& utf8Text) {
  return platform::Utf8ToAnsi(utf8Text);
}

}  // namespace tarvium::ui
