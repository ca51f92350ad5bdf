// Editing the text databases of the TCP/IP stack (services, protocol, networks, hosts, lmhosts)
// one entry at a time. An entry is a line of fields separated by blanks and tabs, identified by
// its leading key fields; the editor replaces, adds or removes the entries with the same key.
// Pure text, so that it is tested and fuzzed without a machine; the section handler decides
// which file, how many key fields and which pass.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace tarvium {

// The most fields a line is split into; further fields take no part in a comparison.
inline constexpr size_t kIpEntryMaxFields = 100;
// The longest file line the editor reads; the rest of a longer line is cut off.
inline constexpr size_t kIpFileLineMax = 64768;

// Applies one section line to the file text and returns the new text. A leading '-' makes the
// line a removal line; in the removal pass a removal line changes nothing and any other line
// removes its entry. A file line matches when its first nKeyFields fields equal the entry's
// (without regard to case; with 2 key fields the second field counts from after its first '/'),
// or, when it is a comment ('#' in front), when all its fields equal the entry's. Matching lines
// are replaced by the entry or dropped; an entry that matched nothing is appended unless the
// line removes. Every line of the result ends with CR LF.
std::string EditIpEntries(std::string_view text, std::string_view line, size_t nKeyFields,
                          bool bRemovalPass);

}  // namespace tarvium
