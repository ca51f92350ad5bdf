// Reading the installation media's packed forms: members of a cabinet set (a set may span
// several cabinets, found beside the first) and SZDD-compressed files (the "_" names). The
// copy procedure streams their bytes block by block; open cabinets stay open for the run, so
// members taken in order continue the decompression instead of starting it again.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace tarvium {

struct SetupRun;

// A member of a cabinet as the cabinet stores it.
struct CabinetFileInfo {
  uint64_t nSize = 0;
  uint16_t wDosDate = 0;  // local date and time, DOS form
  uint16_t wDosTime = 0;
  uint32_t dwAttributes = 0;  // FILE_ATTRIBUTE_READONLY, HIDDEN, SYSTEM, ARCHIVE
  // How many cabinets after the one named the member's data runs into (0: it ends there), so
  // that the reader can follow the set's media.
  uint32_t nLaterCabinets = 0;
};

// Receives the bytes in order; false stops the transfer (the caller was aborted or a write
// failed), which then ends with ERROR_CANCELLED.
using ByteSink = std::function<bool(const uint8_t* pData, size_t nSize)>;

// A cabinet that follows another one of an open set names that set: its members are found
// whichever of the set's cabinets the caller names.
//
// Whether the set of `cabinet` holds `member` (a path inside the cabinet, any case): ERROR_SUCCESS
// with its info, ERROR_FILE_NOT_FOUND when the set does not hold it, or the error that made the
// cabinet unreadable (ERROR_FILE_NOT_FOUND/ERROR_PATH_NOT_FOUND for a missing cabinet file,
// ERROR_BAD_FORMAT for a damaged one).
uint32_t FindCabinetFile(SetupRun& run, const std::string& cabinet, const std::string& member,
                         CabinetFileInfo& info);

// Streams a member's bytes to the sink; the same errors as FindCabinetFile, ERROR_BAD_FORMAT for
// data that cannot be decompressed.
uint32_t ExtractCabinetFile(SetupRun& run, const std::string& cabinet, const std::string& member,
                            const ByteSink& sink, CabinetFileInfo& info);

// Closes the cabinets the run holds open.
void CloseCabinets(SetupRun& run);

// Reads a file through the LZ expansion, as LZOpenFile and LZRead do: an SZDD-compressed file is
// expanded, any other file is read as it is. bCompressed tells which it was.
uint32_t ExpandFile(SetupRun& run, const std::string& path, const ByteSink& sink,
                    bool& bCompressed);

}  // namespace tarvium
