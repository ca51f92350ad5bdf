// ReadXmlNode and ReadXmlText: a node of an XML file selected by an XPath node path, as XML or as
// text. The file is read through the machine's file system and parsed with pugixml, which stands
// for the XML DOM Windows offers; texts go in and out in the ANSI code page. These are the only
// machine functions that complain: a file that cannot be read or a node that is not there shows
// message 5501 with the file name and aborts the run, and after that both functions give nothing.
#include <pugixml.hpp>

#include <sstream>

#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "platform/code_page.h"
#include "script/function_arguments.h"
#include "script/machine_function_groups.h"
#include "script/xml_file.h"

namespace tarvium {
namespace {

constexpr int kCannotOpenFile = 5501;

// Loads the file and selects the node; on failure shows 5501 and aborts the run.
bool SelectFromFile(SetupRun& run, const std::string& file, const std::string& nodePath,
                    pugi::xml_document& doc, pugi::xpath_node& node) {
  XmlFile xml;
  if (LoadXmlFile(run, file, xml) && !nodePath.empty()) {
    doc.reset(xml.doc);
    node = SelectXmlNode(doc, nodePath);
    if (node) return true;
  }
  ShowMessage(run, kCannotOpenFile, file);
  run.ctx.bAborted = true;
  return false;
}

std::string EscapeAttribute(const char* text) {
  std::string escaped;
  for (const char* p = text; *p; ++p) {
    switch (*p) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += *p;
    }
  }
  return escaped;
}

// The node's XML without indentation; an attribute as name="value".
std::string NodeXml(const pugi::xpath_node& node) {
  if (node.attribute())
    return std::string(node.attribute().name()) + "=\"" +
           EscapeAttribute(node.attribute().value()) + "\"";
  std::ostringstream out;
  node.node().print(out, "", pugi::format_raw);
  return out.str();
}

// The text of every text and CDATA node below the node, in document order.
void AppendText(const pugi::xml_node& node, std::string& text) {
  if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) text += node.value();
  for (const pugi::xml_node& child : node.children()) AppendText(child, text);
}

// The attribute's value when one is named (empty when the node lacks it), else the node's text.
std::string NodeText(const pugi::xpath_node& node, const std::string& attribute) {
  if (node.attribute()) return node.attribute().value();
  if (!attribute.empty())
    return node.node().attribute(platform::AnsiToUtf8(attribute).c_str()).value();
  std::string text;
  AppendText(node.node(), text);
  return text;
}

void ReadXmlNode(SetupRun& run, std::string_view args, std::string& result) {
  result.clear();
  if (run.ctx.bAborted) return;
  const FunctionArguments list(args, 2);
  pugi::xml_document doc;
  pugi::xpath_node node;
  if (!SelectFromFile(run, list.Text(0), list.Text(1), doc, node)) return;
  result = platform::Utf8ToAnsi(NodeXml(node));
}

void ReadXmlText(SetupRun& run, std::string_view args, std::string& result) {
  result.clear();
  if (run.ctx.bAborted) return;
  const FunctionArguments list(args, 3);
  pugi::xml_document doc;
  pugi::xpath_node node;
  if (!SelectFromFile(run, list.Text(0), list.Text(1), doc, node)) return;
  result = platform::Utf8ToAnsi(NodeText(node, list.Text(2)));
}

constexpr ExpressionFunction kFunctions[] = {
    {"ReadXmlNode", ReadXmlNode},
    {"ReadXmlText", ReadXmlText},
};

}  // namespace

std::span<const ExpressionFunction> XmlFunctions() {
  return kFunctions;
}

}  // namespace tarvium
