// The language of a run, chosen once at start: a language code is taken from the management
// agent's language map, then from its central settings, then from the user's Windows display
// language, else "en-US"; the code gives the locale whose catalog the run's texts come from.
// The rules over codes and locale numbers are pure functions; the look-ups go to the registry.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

struct SetupRun;

// "de-de" -> "de-DE"; a two-letter code in lower case, a three-letter one in upper case; other
// codes unchanged.
std::string NormalizeLanguageCode(std::string_view code);
// "en-US"/"en" 0x0409, "de-DE"/"de" 0x0407, "fr-FR"/"fr" 0x040C (any case); any other code
// 0x040A, a locale without a catalog, whose texts are English.
uint32_t LocaleOfLanguageCode(std::string_view code);
// The locales that have a catalog, in the engine's order (English, German, French).
std::vector<uint32_t> CatalogLocales();
// The code of a locale with a catalog, matched exactly, then by its primary language (the low
// 10 bits): 0x0807 gives "de-DE"; "" for any other locale.
std::string LanguageCodeOfLocale(uint32_t lcid);
// The code of the user's Windows display language ("" when it has no catalog).
std::string DisplayLanguageCode(SetupRun& run);
// The language code of the run by the order above, normalized.
std::string FindLanguageCode(SetupRun& run);
// Chooses the run's language (run.messages.lcidLanguage) and sets the window title to text 5000
// of that language. Returns the locale.
uint32_t ChooseLanguage(SetupRun& run);

}  // namespace tarvium
