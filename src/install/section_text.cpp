#include "install/section_text.h"

#include "engine/ansi_text.h"
#include "engine/inf_file.h"
#include "engine/inf_reader.h"
#include "engine/replace_variables.h"

namespace tarvium {

std::vector<std::string> NonEmptyLines(const InfFile* pInf, std::string_view section) {
  std::vector<std::string> lines;
  const char* start = pInf ? FindSection(*pInf, section) : nullptr;
  if (!start) return lines;
  InfSection cursor;
  OpenSection(cursor, start, false, false, false);
  std::string line;
  while (NextLine(cursor, line, kVariableLineSize))
    if (!TrimAnsi(line).empty()) lines.push_back(line);
  return lines;
}

bool SplitAtEquals(const std::string& line, std::string& left, std::string& right) {
  const size_t nEquals = line.find('=');
  if (nEquals == std::string::npos) return false;
  left = TrimAnsi(std::string_view(line).substr(0, nEquals));
  right = line.substr(nEquals + 1);
  return true;
}

std::string TrimmedField(const std::string& field) {
  return std::string(TrimAnsi(field));
}

}  // namespace tarvium
