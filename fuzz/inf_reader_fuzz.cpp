// Fuzzes the reader of setup information files: decoding, indexing, and every lookup over the
// sections and keys the input itself names.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/inf_fields.h"
#include "engine/inf_file.h"
#include "engine/inf_reader.h"

namespace {

constexpr tarvium::FlagName kFlags[] = {{"DEFAULT", 1}, {"HIDDEN", 8}};

std::string HeaderNameAt(const char* header) {
  std::string name;
  for (const char* p = header + 1; *p && *p != ']' && *p != '\r' && *p != '\n'; ++p) name += *p;
  return name;
}

void ReadSection(const tarvium::InfFile& inf, const std::string& name, bool bUninstall) {
  tarvium::InfSection cursor;
  tarvium::OpenSection(cursor, tarvium::FindSection(inf, name), bUninstall, true, bUninstall);
  std::string line, field, value;
  while (tarvium::NextLine(cursor, line, 1025)) {
    for (const char* rest = tarvium::NextField(line.c_str(), field); rest;
         rest = tarvium::NextField(rest, field))
      tarvium::ParseFlags(field, kFlags);
    const std::string key = line.substr(0, line.find('='));
    tarvium::GetValue(inf, name, key, value, 256);
    tarvium::FindKeyLine(inf, name, key);
    tarvium::FindKeyValue(inf, name, key, value);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tarvium::TextEncoding encoding;
  tarvium::InfFile inf(tarvium::DecodeText(bytes, encoding));
  tarvium::InfFile other(tarvium::DecodeText(bytes, encoding));
  inf.BuildSectionIndex();
  for (const char* header : inf.SectionIndex()) {
    if (!header) break;
    const std::string name = HeaderNameAt(header);
    ReadSection(inf, name, false);
    ReadSection(inf, name, true);
    ReadSection(other, name, false);
  }
  return 0;
}
