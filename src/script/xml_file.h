// An XML file of the machine as the XML functions and commands see it: read through the machine's
// file system, parsed with pugixml (which stands for the XML DOM Windows offers), nodes selected
// by XPath, and written back in the encoding it came in. Texts go in and out in the ANSI code page.
#pragma once
#include <pugixml.hpp>

#include <string>

namespace tarvium {

struct SetupRun;

struct XmlFile {
  pugi::xml_document doc;
  bool bAnsi = false;  // declared in an 8-bit Western code page
};

// False when the file cannot be read or parsed.
bool LoadXmlFile(SetupRun& run, const std::string& path, XmlFile& xml);
// Writes the document back; false when the file cannot be written.
bool SaveXmlFile(SetupRun& run, const std::string& path, const XmlFile& xml);
// An XPath text (ANSI) pugixml cannot compile selects nothing.
pugi::xpath_node SelectXmlNode(const pugi::xml_document& doc, const std::string& nodePath);

}  // namespace tarvium
