// UpdateXml file, node path, node, value and DeleteXml file, node path, node. The node path selects
// an element by XPath; the node names what below it changes: a child element of that name (its
// text), else an attribute of that name, created for an update when neither exists. An empty node
// means the selected element itself. A failure shows 5503 with the file; an update also aborts.
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "platform/code_page.h"
#include "script/command_handlers.h"
#include "script/xml_file.h"

namespace tarvium {
namespace {

constexpr int kCannotWriteXml = 5503;

struct XmlEdit {
  std::string file;
  std::string nodePath;
  std::string node;   // UTF-8
  std::string value;  // UTF-8
};

bool ReadEdit(CommandCall& call, XmlEdit& edit) {
  const std::vector<std::string> args = ListArguments(call.arguments);
  edit.file = ArgumentAt(args, 0);
  edit.nodePath = ArgumentAt(args, 1);
  edit.node = platform::AnsiToUtf8(ArgumentAt(args, 2));
  edit.value = platform::AnsiToUtf8(ArgumentAt(args, 3));
  return !edit.file.empty() && !edit.nodePath.empty();
}

bool SetNodeValue(const pugi::xpath_node& selected, const XmlEdit& edit) {
  if (selected.attribute()) return selected.attribute().set_value(edit.value.c_str());
  pugi::xml_node element = selected.node();
  if (!edit.node.empty()) {
    if (pugi::xml_node child = element.child(edit.node.c_str())) {
      element = child;
    } else {
      pugi::xml_attribute attribute = element.attribute(edit.node.c_str());
      if (!attribute) attribute = element.append_attribute(edit.node.c_str());
      return attribute.set_value(edit.value.c_str());
    }
  }
  return element.text().set(edit.value.c_str());
}

bool DeleteNode(const pugi::xpath_node& selected, const XmlEdit& edit) {
  pugi::xml_node element = selected.node();
  if (selected.attribute()) return selected.parent().remove_attribute(selected.attribute());
  if (edit.node.empty()) return element.parent().remove_child(element);
  if (element.child(edit.node.c_str())) return element.remove_child(edit.node.c_str());
  return element.remove_attribute(edit.node.c_str());
}

template <class Change>
bool EditXml(CommandCall& call, bool bAbortOnFailure, Change change) {
  XmlEdit edit;
  if (!ReadEdit(call, edit)) return MissingArgument(call);
  SetupRun& run = call.run;
  XmlFile xml;
  if (LoadXmlFile(run, edit.file, xml)) {
    const pugi::xpath_node selected = SelectXmlNode(xml.doc, edit.nodePath);
    if (selected && change(selected, edit) && SaveXmlFile(run, edit.file, xml)) return true;
  }
  ShowMessage(run, kCannotWriteXml, edit.file);
  if (bAbortOnFailure) run.ctx.bAborted = true;
  return false;
}

}  // namespace

bool UpdateXmlCommand(CommandCall& call) {
  return EditXml(call, true, SetNodeValue);
}

bool DeleteXmlCommand(CommandCall& call) {
  return EditXml(call, false, DeleteNode);
}

}  // namespace tarvium
