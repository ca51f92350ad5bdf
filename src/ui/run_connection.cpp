#include "ui/run_connection.h"

namespace tarvium::ui {

RunFrame RunConnection::Frame() const {
  return link_.frame ? link_.frame() : RunFrame{};
}

int RunConnection::AskMessage(int nMessage) {
  return link_.askMessage ? link_.askMessage(nMessage) : 6;
}

void RunConnection::ShowHelp(int nTopic) {
  if (link_.showHelp) link_.showHelp(nTopic);
}

std::string RunConnection::CatalogText(int nText) {
  return link_.catalogText ? link_.catalogText(nText) : "";
}

std::string RunConnection::Explanation(const std::string& text) {
  const bool bNumber =
      !text.empty() && text.size() < 9 && text.find_first_not_of("0123456789") == std::string::npos;
  return bNumber ? CatalogText(std::stoi(text)) : text;
}

}  // namespace tarvium::ui
