#include "script/message_catalog.h"

#include <array>
#include <charconv>

#include "engine/setup_run.h"
#include "platform/code_page.h"

namespace tarvium {

namespace embedded {
extern const std::string_view kEnglishCatalog;
extern const std::string_view kGermanCatalog;
extern const std::string_view kFrenchCatalog;
}  // namespace embedded

namespace {

constexpr std::array<CatalogLanguage, 3> kLanguages = {
    CatalogLanguage::English, CatalogLanguage::German, CatalogLanguage::French};

std::string Unescaped(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
      result += text[++i] == 'n' ? '\n' : '\\';
    } else {
      result += text[i];
    }
  }
  return result;
}

void AddCatalogLine(std::string_view line, std::map<int, std::string>& entries) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const size_t nTab = line.find('\t');
  if (line.empty() || line[0] == '#' || nTab == std::string_view::npos) return;
  int nNumber = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + nTab, nNumber);
  if (error != std::errc() || end != line.data() + nTab) return;
  entries[nNumber] = Unescaped(line.substr(nTab + 1));
}

// The three catalogs, parsed once from the texts built into the program; they never change.
const std::array<std::map<int, std::string>, 3>& Catalogs() {
  static const std::array<std::map<int, std::string>, 3> catalogs = {
      ParseCatalogText(embedded::kEnglishCatalog), ParseCatalogText(embedded::kGermanCatalog),
      ParseCatalogText(embedded::kFrenchCatalog)};
  return catalogs;
}

}  // namespace

std::map<int, std::string> ParseCatalogText(std::string_view text) {
  std::map<int, std::string> entries;
  while (!text.empty()) {
    const size_t nEnd = text.find('\n');
    AddCatalogLine(text.substr(0, nEnd), entries);
    text.remove_prefix(nEnd == std::string_view::npos ? text.size() : nEnd + 1);
  }
  return entries;
}

std::optional<std::string_view> CatalogEntry(CatalogLanguage language, int nNumber) {
  const std::map<int, std::string>& catalog = Catalogs()[static_cast<size_t>(language)];
  const auto found = catalog.find(nNumber);
  if (found == catalog.end()) return std::nullopt;
  return found->second;
}

CatalogLanguage CatalogLanguageOf(uint32_t lcidLanguage) {
  switch (lcidLanguage) {
    case kLocaleGerman:
      return CatalogLanguage::German;
    case kLocaleFrench:
      return CatalogLanguage::French;
    default:
      return CatalogLanguage::English;
  }
}

std::string CatalogText(uint32_t lcidLanguage, int nNumber) {
  std::optional<std::string_view> entry = CatalogEntry(CatalogLanguageOf(lcidLanguage), nNumber);
  if (!entry) entry = CatalogEntry(CatalogLanguage::English, nNumber);
  for (size_t i = 0; !entry && i < kLanguages.size(); ++i)
    entry = CatalogEntry(kLanguages[i], nNumber);
  return entry ? platform::Utf8ToAnsi(*entry) : std::string();
}

std::string GetText(const SetupRun& run, int nNumber) {
  return CatalogText(run.messages.lcidLanguage, nNumber);
}

void InitMessageCatalog(SetupRun& run) {
  run.messages = MessageState();
  run.ctx.szWindowTitle = GetText(run, 5000);
}

}  // namespace tarvium
