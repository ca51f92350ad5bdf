#include "engine/date_time_variables.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/registry_text.h"
#include "engine/setup_run.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

// One character of the setting, or the default when it is empty.
std::string Separator(const std::string& setting, const char* defaultText) {
  return setting.empty() ? std::string(defaultText) : setting.substr(0, 1);
}

}  // namespace

DateTimeTexts FormatDateTime(SetupRun& run, const platform::SystemTime& st, SlashDate slash) {
  const platform::InternationalSettings intl = run.machine.System().International();
  std::string sDate = Separator(intl.sDate, ".");
  if (sDate == "/" && slash == SlashDate::Replaced) sDate = ".";
  const std::string sTime = Separator(intl.sTime, ":");
  const char* d = sDate.c_str();
  const char* t = sTime.c_str();
  char buffer[64];
  DateTimeTexts texts;
  std::snprintf(buffer, sizeof buffer, "%02d%s%02d%s%04d", st.wDay, d, st.wMonth, d, st.wYear);
  texts.date = buffer;
  std::snprintf(buffer, sizeof buffer, "%02d%s%02d", st.wHour, t, st.wMinute);
  texts.time = buffer;
  std::snprintf(buffer, sizeof buffer, "%02d%s%02d%s%02d", st.wHour, t, st.wMinute, t, st.wSecond);
  texts.longTime = buffer;
  std::snprintf(buffer, sizeof buffer, "%02d%s%02d%s%02d.%03d", st.wHour, t, st.wMinute, t,
                st.wSecond, st.wMilliseconds);
  texts.exactTime = buffer;
  return texts;
}

void RefreshDateTime(SetupRun& run) {
  platform::SystemTime st;
  run.machine.Time().GetLocalTime(st);
  const DateTimeTexts texts = FormatDateTime(run, st, SlashDate::Replaced);
  VariableStore& store = run.variables;
  store.Set("SysDate", texts.date);
  store.Set("SysTime", texts.time);
  store.Set("LongSysTime", texts.longTime);
  store.Set("ExactSysTime", texts.exactTime);
}

uint16_t GetInstallLanguage(SetupRun& run) {
  std::string text;
  if (RegReadText(run, platform::RegRoot::LocalMachine,
                  "System\\CurrentControlSet\\Control\\Nls\\Language", "InstallLanguage",
                  text) == platform::ERROR_SUCCESS &&
      !text.empty())
    return static_cast<uint16_t>(std::strtoul(text.c_str(), nullptr, 16));
  // Without the value, the language User.exe of the system directory was made in.
  std::string system;
  if (!run.script.fileLanguage ||
      run.machine.System().GetSpecialFolder(platform::SpecialFolder::System, system) !=
          platform::ERROR_SUCCESS)
    return 0;
  return run.script.fileLanguage(run, system + "\\User.exe");
}

}  // namespace tarvium
