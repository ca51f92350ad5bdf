// Text form and merge of access-list entries (access_list_text.h).
#include "platform/emulated/security/access_list_text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "platform/access_control.h"
#include "platform/ansi_case.h"

namespace platform::emulated {
namespace {

struct InheritanceName {
  uint32_t dwFlag;
  const char* name;
};

constexpr InheritanceName kInheritanceNames[] = {{OBJECT_INHERIT_ACE, "OI"},
                                                 {CONTAINER_INHERIT_ACE, "CI"},
                                                 {NO_PROPAGATE_INHERIT_ACE, "NP"},
                                                 {INHERIT_ONLY_ACE, "IO"}};

std::string FormatInheritance(uint32_t dwInheritance) {
  std::string text;
  for (const InheritanceName& each : kInheritanceNames)
    if (dwInheritance & each.dwFlag) text += (text.empty() ? "" : "|") + std::string(each.name);
  return text.empty() ? "-" : text;
}

std::optional<uint32_t> ParseInheritance(const std::string& text) {
  uint32_t dwInheritance = 0;
  if (text == "-") return dwInheritance;
  size_t nStart = 0;
  while (nStart <= text.size()) {
    const size_t nEnd = std::min(text.find('|', nStart), text.size());
    const std::string word = text.substr(nStart, nEnd - nStart);
    const auto* found =
        std::find_if(std::begin(kInheritanceNames), std::end(kInheritanceNames),
                     [&](const InheritanceName& each) { return word == each.name; });
    if (found == std::end(kInheritanceNames)) return std::nullopt;
    dwInheritance |= found->dwFlag;
    nStart = nEnd + 1;
  }
  return dwInheritance;
}

// The next blank-separated word from nAt on, which it moves past.
std::string NextWord(const std::string& line, size_t& nAt) {
  const size_t nEnd = std::min(line.find(' ', nAt), line.size());
  std::string word = line.substr(nAt, nEnd - nAt);
  nAt = std::min(nEnd + 1, line.size());
  return word;
}

bool IsOfTrustee(const StoredAccessEntry& entry, const StoredAccessEntry& change) {
  return AnsiEqualNoCase(entry.sid, change.sid);
}

// Adds the rights to the trustee's entry of that kind and inheritance, or puts a new one where
// its kind goes: a denying entry after the last denying one, an allowing entry at the end.
void AddRights(std::vector<StoredAccessEntry>& entries, const StoredAccessEntry& change) {
  for (StoredAccessEntry& entry : entries)
    if (entry.bDeny == change.bDeny && entry.dwInheritance == change.dwInheritance &&
        IsOfTrustee(entry, change)) {
      entry.dwRights |= change.dwRights;
      return;
    }
  const auto firstAllow = std::find_if(entries.begin(), entries.end(),
                                       [](const StoredAccessEntry& entry) { return !entry.bDeny; });
  entries.insert(change.bDeny ? firstAllow : entries.end(), change);
}

void RemoveEntries(std::vector<StoredAccessEntry>& entries, const StoredAccessEntry& change,
                   bool bAllowOnly) {
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [&](const StoredAccessEntry& entry) {
                                 return IsOfTrustee(entry, change) && (!bAllowOnly || !entry.bDeny);
                               }),
                entries.end());
}

}  // namespace

std::string FormatAccessEntry(const StoredAccessEntry& entry) {
  char rights[16];
  std::snprintf(rights, sizeof rights, "0x%08X", entry.dwRights);
  return std::string(entry.bDeny ? "Deny" : "Allow") + " " + rights + " " +
         FormatInheritance(entry.dwInheritance) + " " + entry.sid + " " + entry.trustee;
}

std::optional<StoredAccessEntry> ParseAccessEntry(const std::string& line) {
  size_t nAt = 0;
  const std::string kind = NextWord(line, nAt);
  const std::string rights = NextWord(line, nAt);
  const std::optional<uint32_t> inheritance = ParseInheritance(NextWord(line, nAt));
  StoredAccessEntry entry;
  entry.sid = NextWord(line, nAt);
  entry.trustee = line.substr(nAt);
  char* pEnd = nullptr;
  entry.dwRights = static_cast<uint32_t>(std::strtoul(rights.c_str(), &pEnd, 16));
  if ((kind != "Allow" && kind != "Deny") || rights.empty() || *pEnd != '\0' || !inheritance ||
      entry.sid.empty())
    return std::nullopt;
  entry.bDeny = kind == "Deny";
  entry.dwInheritance = *inheritance;
  return entry;
}

bool MergeAccessEntry(std::vector<StoredAccessEntry>& entries, uint32_t dwMode,
                      const StoredAccessEntry& change) {
  StoredAccessEntry added = change;
  switch (dwMode) {
    case GRANT_ACCESS:
      added.bDeny = false;
      AddRights(entries, added);
      return true;
    case SET_ACCESS:
      added.bDeny = false;
      RemoveEntries(entries, added, true);
      AddRights(entries, added);
      return true;
    case DENY_ACCESS:
      added.bDeny = true;
      AddRights(entries, added);
      return true;
    case REVOKE_ACCESS:
      RemoveEntries(entries, added, false);
      return true;
    default:
      return false;
  }
}

}  // namespace platform::emulated
