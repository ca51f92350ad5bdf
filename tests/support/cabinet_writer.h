// Writes cabinet sets with stored (uncompressed) folders, for the one kind of cabinet gcab cannot
// make: a set whose folder continues from one cabinet into the next. Each cabinet after the first
// names the one before it and each but the last the one after it; a file that runs over a
// cabinet's end is listed in both, marked as continued, as the published cabinet format says.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tarvium::test {

struct CabinetMember {
  std::string name;  // the path inside the cabinet, with backslashes
  std::string data;
  uint16_t wDosDate = 0x5A21;  // 2025-01-01
  uint16_t wDosTime = 0x6000;  // 12:00:00
  uint16_t wAttributes = 0x20;
};

// The bytes of each cabinet of a set holding one stored folder with the members in order, cut
// into cabinets of nDataPerCabinet data bytes each (the last one takes the rest); the folder's
// data blocks are nBlockSize long, and the block at each cut is split between the cabinets.
// names are the cabinets' file names, one for each cabinet the data needs. Readers drop the files
// a continued folder lists in the later cabinet, taking them from the earlier one, so every member
// must start in the first cabinet (the last ones may run on through the others); otherwise the
// result is empty.
std::vector<std::string> WriteStoredCabinetSet(const std::vector<CabinetMember>& members,
                                               const std::vector<std::string>& names,
                                               size_t nDataPerCabinet, size_t nBlockSize = 1024);

}  // namespace tarvium::test
