#include "ui/text_session.h"

#include <newt.h>

#include <clocale>

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

int TextSession::Columns() const {
  int nCols = 80, nRows = 24;
  if (bOpen_) newtGetScreenSize(&nCols, &nRows);
  return nCols;
}

int TextSession::Rows() const {
  int nCols = 80, nRows = 24;
  if (bOpen_) newtGetScreenSize(&nCols, &nRows);
  return nRows;
}

RunFrame TextSession::Frame() const {
  return link_.frame ? link_.frame() : RunFrame{};
}

int TextSession::AskMessage(int nMessage) {
  return link_.askMessage ? link_.askMessage(nMessage) : 6;
}

void TextSession::ShowHelp(int nTopic) {
  if (link_.showHelp) link_.showHelp(nTopic);
}

std::string TextSession::CatalogText(int nText) {
  return link_.catalogText ? link_.catalogText(nText) : "";
}

std::string ForDisplay(const std::string& ansiText) {
  return platform::AnsiToUtf8(ansiText);
}

std::string FromDisplay(const std::string& utf8Text) {
  return platform::Utf8ToAnsi(utf8Text);
}

}  // namespace tarvium::ui
