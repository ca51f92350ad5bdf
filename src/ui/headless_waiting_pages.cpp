#include "ui/headless_waiting_pages.h"

#include <string>

#include "ui/countdown.h"

namespace tarvium::ui {
namespace {

constexpr const char* kNotAsked = " == not asked (no interactive interface): ";

std::string OnOneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

}  // namespace

int AnswerRestartPage(platform::Console& console, platform::Clock* clock,
                      const PageRequest& request) {
  Countdown countdown(request.nSeconds);
  std::string line = std::string("== Page: restart") + kNotAsked + OnOneLine(request.text);
  line += countdown.IsShown() ? "; restarting after " + std::to_string(countdown.Remaining()) + " s"
                              : "; restarting now";
  console.WriteErrorLine(line);
  while (clock && !countdown.IsOver() && countdown.IsShown()) {
    clock->Sleep(1000);
    countdown.Tick();
  }
  return kRestartNow;
}

int AnswerProcessesPage(platform::Console& console, const PageRequest& request) {
  const bool bProceeds = request.items.empty() || request.nSeconds >= 0;
  const int nResult = bProceeds ? kPageNext : request.nDefaultChoice;
  std::string line = std::string("== Page: programs to end") + kNotAsked;
  for (size_t i = 0; i < request.items.size(); ++i) line += (i ? ", " : "") + request.items[i];
  line += request.items.empty() ? "none" : "";
  line += nResult == kPageNext ? "; OK" : "; choice " + std::to_string(nResult);
  console.WriteErrorLine(line);
  return nResult;
}

}  // namespace tarvium::ui
