// The well-known security identifiers a Windows installation resolves without a domain, with
// their names in the three user-interface languages the machine can have. A German or French
// Windows names "Everyone" and "Administrators" in its own language; setups that grant rights by
// name depend on it.
#pragma once
#include <string>
#include <vector>

namespace platform::emulated {

struct AccountName {
  std::string sid;
  std::string name;    // in the machine's language, Windows-1252
  std::string domain;  // "NT AUTHORITY", "BUILTIN" or empty, in the machine's language
};

// The well-known accounts and groups for a LANGID (0x0407 German, 0x040C French, else English).
std::vector<AccountName> WellKnownAccounts(unsigned nLanguage);

}  // namespace platform::emulated
