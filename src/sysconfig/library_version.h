// The version test of a system library that a handler calls into (the COM library, the ODBC
// installer): the file version the machine has against the least one the handler needs, with
// message 5552 naming both when it is older.
#pragma once
#include <cstdint>

namespace tarvium {

struct SetupRun;

// Versions as four 16-bit parts, most significant first. True when qwHave >= qwNeed; otherwise
// 5552 is shown with the file, its description and both versions ("2.10.24.01").
bool LibraryVersionSuffices(SetupRun& run, const char* pszFile, const char* pszDescription,
                            uint64_t qwHave, uint64_t qwNeed);

}  // namespace tarvium
