// The message catalog: for each of its three languages a table from number to text, read from the
// catalog files built into the program (script/catalog/*.txt). Numbers 5000 to 5039 are plain
// texts (captions, progress words, character-set names), 5500 to 5574 message-box
// message definitions. A number a language lacks comes from English, then from any language. Texts
// are kept as written (UTF-8) and are handed out in the engine's ANSI code page.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tarvium {

struct SetupRun;

enum class CatalogLanguage { English, German, French };

// The entry of one catalog as written (UTF-8, escapes resolved); none when it lacks the number.
std::optional<std::string_view> CatalogEntry(CatalogLanguage language, int nNumber);
// The catalog of a locale: German and French for theirs, English for any other.
CatalogLanguage CatalogLanguageOf(uint32_t lcidLanguage);
// The text of a number in a locale's language with the fall-backs, in ANSI; "" when no catalog
// has it (or its entry is empty).
std::string CatalogText(uint32_t lcidLanguage, int nNumber);
// The text of a number in the run's language (CatalogText with run.messages.lcidLanguage).
std::string GetText(const SetupRun& run, int nNumber);

// Parses the catalog file format: one entry a line, the decimal number, a TAB and the text, in
// which "\n" is a line break and "\\" a backslash; '#' lines and empty lines are skipped, and so
// is a line without a number and TAB.
std::map<int, std::string> ParseCatalogText(std::string_view text);

// Starts the run's catalog: English until the language is chosen, the beep on, and the window
// title from text 5000.
void InitMessageCatalog(SetupRun& run);

}  // namespace tarvium
