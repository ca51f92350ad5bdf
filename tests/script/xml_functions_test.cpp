// ReadXmlNode and ReadXmlText on XML files of a real machine: nodes and attributes selected by
// XPath, texts converted to ANSI, and the failure that shows 5501 and aborts the run.
#include <gtest/gtest.h>

#include "engine/setup_run.h"
#include "machine_function_call.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

using test::CallMachineFunction;

constexpr const char* kConfig =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<configuration>\n"
    "  <appSettings>\n"
    "    <add key=\"Server\" value=\"db01\"/>\n"
    "    <add key=\"Greeting\" value=\"Gr\xC3\xBC\xC3\x9F Gott\"/>\n"
    "  </appSettings>\n"
    "  <title>Main <b>window</b><![CDATA[ & more]]></title>\n"
    "</configuration>\n";

TEST(XmlFunctions, NodesTextsAndAttributesAndMissingOnesShow5501AndAbortTheRun) {
  test::TestMachine test;
  SetupRun run(test.Machine());
  ASSERT_EQ(test.Machine().Files().CreateDirectory("C:\\App"), platform::ERROR_SUCCESS);
  ASSERT_EQ(test.Machine().Files().WriteWholeFile("C:\\App\\app.config", kConfig),
            platform::ERROR_SUCCESS);
  ASSERT_EQ(test.Machine().Files().WriteWholeFile(
                "C:\\App\\ansi.xml",
                "<?xml version=\"1.0\" encoding=\"Windows-1252\"?><r a=\"\xE9t\xE9\">\xFC</r>"),
            platform::ERROR_SUCCESS);
  const std::pair<std::string, std::string> cases[] = {
      {"ReadXmlText(C:\\App\\app.config,'//add[@key=\"Server\"]',value)", "db01"},
      {"ReadXmlText(C:\\App\\app.config,//add[@key='Greeting']/@value)", "Gr\xFC\xDF Gott"},
      {"ReadXmlText(C:\\App\\app.config,/configuration/title)", "Main window & more"},
      {"ReadXmlText(C:\\App\\app.config,/configuration/title,missing)", ""},
      {"ReadXmlNode(C:\\App\\app.config,//add[2])",
       "<add key=\"Greeting\" value=\"Gr\xFC\xDF Gott\"/>"},
      {"ReadXmlNode(C:\\App\\app.config,/configuration/appSettings/add/@key)", "key=\"Server\""},
      {"ReadXmlNode(C:\\App\\app.config,/configuration/title/b)", "<b>window</b>"},
      {"ReadXmlText(C:\\App\\ansi.xml,/r,a)", "\xE9t\xE9"},
      {"ReadXmlText(C:\\App\\ansi.xml,/r)", "\xFC"},
  };
  for (const auto& [call, expected] : cases) {
    const size_t nParen = call.find('(');
    const std::string args = call.substr(nParen + 1, call.size() - nParen - 2);
    EXPECT_EQ(CallMachineFunction(run, call.substr(0, nParen), args), expected) << call;
  }
  EXPECT_TRUE(run.shownMessages.empty());
  EXPECT_FALSE(run.ctx.bAborted);

  // A missing or broken file, or a missing node, shows 5501 and aborts the run.
  ASSERT_EQ(test.Machine().Files().WriteWholeFile("C:\\App\\broken.xml", "<a><b></a>"),
            platform::ERROR_SUCCESS);
  for (const char* args : {"C:\\App\\missing.xml,/a", "C:\\App\\app.config,/configuration/none",
                           "C:\\App\\app.config,//add[", "C:\\App\\app.config,count(//add)",
                           "C:\\App\\broken.xml,/a", "C:\\App\\app.config,", ","}) {
    for (const char* function : {"ReadXmlNode", "ReadXmlText"}) {
      SetupRun failing(test.Machine());
      EXPECT_EQ(CallMachineFunction(failing, function, args), "") << function << " " << args;
      ASSERT_EQ(failing.shownMessages.size(), 1u) << function << " " << args;
      EXPECT_EQ(failing.shownMessages[0].nMessage, 5501);
      const std::string file = std::string(args).substr(0, std::string(args).find(','));
      EXPECT_EQ(std::get<std::string>(failing.shownMessages[0].args.at(0)), file);
      EXPECT_TRUE(failing.ctx.bAborted);
      // While the run is aborted, even a good node gives nothing and nothing more is shown.
      EXPECT_EQ(CallMachineFunction(failing, "ReadXmlText",
                                    "C:\\App\\app.config,//add[@key='Server'],value"),
                "");
      EXPECT_EQ(failing.shownMessages.size(), 1u);
    }
  }
}

}  // namespace
}  // namespace tarvium
