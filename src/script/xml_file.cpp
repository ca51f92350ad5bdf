#include "script/xml_file.h"

#include <sstream>

#include "engine/setup_run.h"
#include "platform/code_page.h"

namespace tarvium {
namespace {

// The encoding a declaration names ("windows-1252"), lower-cased; empty without one.
std::string DeclaredEncoding(const std::string& bytes) {
  const size_t nEnd = bytes.find("?>");
  if (bytes.rfind("<?xml", 0) != 0 || nEnd == std::string::npos) return "";
  const size_t nKey = bytes.find("encoding", 0);
  if (nKey == std::string::npos || nKey > nEnd) return "";
  const size_t nQuote = bytes.find_first_of("\"'", nKey);
  if (nQuote == std::string::npos || nQuote > nEnd) return "";
  const size_t nClose = bytes.find(bytes[nQuote], nQuote + 1);
  if (nClose == std::string::npos || nClose > nEnd) return "";
  std::string name = bytes.substr(nQuote + 1, nClose - nQuote - 1);
  for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return name;
}

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration;

}  // namespace

// UTF-8 and UTF-16 files (by their mark or declaration) are parsed as they are; files declared in
// an 8-bit Western code page are ANSI text and are converted first.
bool LoadXmlFile(SetupRun& run, const std::string& path, XmlFile& xml) {
  std::string bytes;
  if (path.empty() || run.machine.Files().ReadWholeFile(path, bytes) != platform::ERROR_SUCCESS)
    return false;
  const std::string encoding = DeclaredEncoding(bytes);
  xml.bAnsi = encoding == "windows-1252" || encoding == "iso-8859-1" || encoding == "latin1" ||
              encoding == "us-ascii";
  if (xml.bAnsi) {
    const std::string utf8 = platform::AnsiToUtf8(bytes);
    return xml.doc.load_buffer(utf8.data(), utf8.size(), kParseOptions, pugi::encoding_utf8);
  }
  return xml.doc.load_buffer(bytes.data(), bytes.size(), kParseOptions, pugi::encoding_auto);
}

bool SaveXmlFile(SetupRun& run, const std::string& path, const XmlFile& xml) {
  std::ostringstream out;
  xml.doc.save(out, "  ", pugi::format_default | pugi::format_no_declaration, pugi::encoding_utf8);
  const std::string text = xml.bAnsi ? platform::Utf8ToAnsi(out.str()) : out.str();
  return run.machine.Files().WriteWholeFile(path, text) == platform::ERROR_SUCCESS;
}

pugi::xpath_node SelectXmlNode(const pugi::xml_document& doc, const std::string& nodePath) {
  try {
    return doc.select_node(platform::AnsiToUtf8(nodePath).c_str());
  } catch (const pugi::xpath_exception&) {
    return {};
  }
}

}  // namespace tarvium
