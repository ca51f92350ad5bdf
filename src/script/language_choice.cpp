#include "script/language_choice.h"

#include <array>
#include <charconv>

#include "engine/registry_text.h"
#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "script/message_catalog.h"

namespace tarvium {
namespace {

using platform::RegRoot;

constexpr const char* kLanguageMapKey = "Software\\kelvaron\\LanguageMap";
constexpr const char* kCentralMiscKey = "Software\\kelvaron\\Central\\Misc";
constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kInternationalKey = "Control Panel\\International";
constexpr const char* kUiLanguagesKey = "SYSTEM\\CurrentControlSet\\Control\\MUI\\UILanguages\\";

struct LanguageRow {
  std::string_view code;
  std::string_view shortCode;
  uint32_t lcid;
};

constexpr std::array<LanguageRow, 3> kLanguages = {{
    {"en-US", "en", kLocaleEnglish},
    {"de-DE", "de", kLocaleGerman},
    {"fr-FR", "fr", kLocaleFrench},
}};

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string RegText(SetupRun& run, RegRoot root, const std::string& key, const char* name) {
  std::string text;
  return RegReadText(run, root, key, name, text) == platform::ERROR_SUCCESS ? text : std::string();
}

// A locale number kept as a DWORD, or as text in the given base; 0 when missing or unreadable.
uint32_t RegLocale(SetupRun& run, RegRoot root, const std::string& key, const char* name,
                   int nBase) {
  platform::RegValue value;
  if (run.machine.Reg().QueryValue(root, key, name, value) != platform::ERROR_SUCCESS) return 0;
  if (value.dwType == platform::REG_DWORD && value.data.size() >= 4)
    return value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
           static_cast<uint32_t>(value.data[3]) << 24;
  std::string text(value.data.begin(), value.data.end());
  text = text.substr(0, text.find('\0'));
  uint32_t lcid = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), lcid, nBase);
  return error == std::errc() && end == text.data() + text.size() ? lcid : 0;
}

// Windows 6.0 and later: the first preferred UI language, through the locale number Windows
// keeps for it; before 6.0 the MUI language of the desktop settings.
uint32_t DisplayLanguageLocale(SetupRun& run) {
  if (RunOsVersion(run).dwMajorVersion < 6)
    return RegLocale(run, RegRoot::CurrentUser, kDesktopKey, "MultiUILanguageId", 16);
  std::string languages = RegText(run, RegRoot::CurrentUser, kDesktopKey, "PreferredUILanguages");
  languages = languages.substr(0, languages.find('\t'));
  if (languages.empty()) return 0;
  return RegLocale(run, RegRoot::LocalMachine, kUiLanguagesKey + languages, "LCID", 10);
}

}  // namespace

std::string NormalizeLanguageCode(std::string_view code) {
  std::string normal(code);
  const size_t nDash = normal.find('-');
  if (nDash == std::string::npos && normal.size() != 2 && normal.size() != 3) return normal;
  for (size_t i = 0; i < normal.size(); ++i) {
    const bool bUpper = nDash != std::string::npos ? i > nDash : normal.size() == 3;
    normal[i] = bUpper ? platform::AnsiUpperChar(normal[i]) : AsciiLower(normal[i]);
  }
  return normal;
}

uint32_t LocaleOfLanguageCode(std::string_view code) {
  for (const LanguageRow& row : kLanguages)
    if (platform::AnsiEqualNoCase(code, row.code) || platform::AnsiEqualNoCase(code, row.shortCode))
      return row.lcid;
  return kLocaleOther;
}

std::vector<uint32_t> CatalogLocales() {
  std::vector<uint32_t> locales;
  for (const LanguageRow& row : kLanguages) locales.push_back(row.lcid);
  return locales;
}

std::string LanguageCodeOfLocale(uint32_t lcid) {
  for (const LanguageRow& row : kLanguages)
    if (lcid == row.lcid) return std::string(row.code);
  for (const LanguageRow& row : kLanguages)
    if ((lcid & 0x3FF) == (row.lcid & 0x3FF)) return std::string(row.code);
  return {};
}

std::string DisplayLanguageCode(SetupRun& run) {
  uint32_t lcid = DisplayLanguageLocale(run);
  if (lcid == 0) lcid = RegLocale(run, RegRoot::CurrentUser, kInternationalKey, "Locale", 16);
  if (lcid == 0) lcid = run.machine.System().DefaultLocale();
  return LanguageCodeOfLocale(lcid);
}

std::string FindLanguageCode(SetupRun& run) {
  std::string code = RegText(run, RegRoot::CurrentUser, kLanguageMapKey, "ClientComponent");
  if (code.empty()) code = RegText(run, RegRoot::LocalMachine, kLanguageMapKey, "ClientComponent");
  if (code.empty()) code = RegText(run, RegRoot::LocalMachine, kCentralMiscKey, "sLanguage");
  if (code.empty()) code = DisplayLanguageCode(run);
  if (code.empty()) code = "en-US";
  return NormalizeLanguageCode(code);
}

uint32_t ChooseLanguage(SetupRun& run) {
  run.messages.lcidLanguage = LocaleOfLanguageCode(FindLanguageCode(run));
  run.ctx.szWindowTitle = GetText(run, 5000);
  return run.messages.lcidLanguage;
}

}  // namespace tarvium
