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
  while (!text.empty()) {
    const size_t nSlash = text.find('\\');
    result.append(text.substr(0, nSlash));
    if (nSlash == std::string_view::npos) break;
    const char next = nSlash + 1 < text.size() ? text[nSlash + 1] : '\0';
    const bool bEscape = next == 'n' || next == '\\';
    result += next == 'n' ? '\n' : '\\';
    text.remove_prefix(nSlash + (bEscape ? 2 : 1));
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

// A catalog is parsed from the text built into the program when a message of its language is
// first asked for, and kept: it never changes, and a run mostly reads its own language alone.
const std::map<int, std::string>& Catalog(CatalogLanguage language) {
  switch (language) {
    case CatalogLanguage::German: {
      static const std::map<int, std::string> german = ParseCatalogText(embedded::kGermanCatalog);
      return german;
    }
    case CatalogLanguage::French: {
      static const std::map<int, std::string> french = ParseCatalogText(embedded::kFrenchCatalog);
      return french;
    }
    case CatalogLanguage::English:
      break;
  }
  static const std::map<int, std::string> english = ParseCatalogText(embedded::kEnglishCatalog);
  return english;
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
  const std::map<int, std::string>& catalog = Catalog(language);
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
