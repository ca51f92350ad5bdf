#include "script/message_names.h"

#include <array>

#include "platform/ansi_case.h"

namespace tarvium {
namespace {

struct NamedMessage {
  int nMessage;
  std::string_view name;
};

constexpr NamedMessage kNames[] = {
    {5500, "ERR_NOMEMORY"},
    {5501, "ERR_FILEOPEN"},
    {5502, "ERR_FILEREAD"},
    {5503, "ERR_FILEWRITE"},
    {5504, "ERR_FILECREATE"},
    {5505, "ERR_FILEEXIST"},
    {5506, "ERR_FILEOLDER"},
    {5507, "ERR_PATHCREATE"},
    {5508, "ERR_WINEXEC"},
    {5509, "ERR_SETUPABORT"},
    {5510, "ERR_SETUPNOTOK"},
    {5511, "ERR_SETUPOK"},
    {5512, "ERR_SETUPOKRESTART"},
    {5513, "ERR_SETUPOKREBOOT"},
    {5514, "ERR_UNRECOGNIZABLE"},
    {5515, "ERR_WRITEINI"},
    {5516, "ERR_BAD_DDE"},
    {5517, "ERR_DIFFERENT_SIZE"},
    {5518, "ERR_CREATE_KEY"},
    {5519, "ERR_DELETE_KEY"},
    {5520, "ERR_LOADDLL"},
    {5521, "ERR_GETPROCADDRESS"},
    {5523, "ERR_RENAME"},
    {5524, "ERR_CHANGEDRIVE"},
    {5525, "ERR_CHANGEDIR"},
    {5526, "ERR_REMOVEDIR"},
    {5527, "ERR_REMOVEFILE"},
    {5528, "ERR_PARAMETER"},
    {5529, "ERR_NOSECTION"},
    {5530, "ERR_WRONGFLAGS"},
    {5531, "ERR_SYNTAX_CONFIG_SYS"},
    {5532, "ERR_WRONGVERSION"},
    {5533, "ERR_NOPARENT"},
    {5534, "ERR_CREATELINK"},
    {5535, "ERR_REMOVEDLL"},
    {5536, "ERR_UNINSTALL"},
    {5537, "ERR_UNINSTALLNOTOK"},
    {5538, "ERR_UNINSTALLOK"},
    {5539, "ERR_UNINSTALLOKRESTART"},
    {5540, "ERR_UNINSTALLOKREBOOT"},
    {5541, "ERR_USAGE"},
    {5543, "ERR_OSCONFLICT"},
    {5544, "ERR_VERSIONCONFLICT"},
    {5545, "ERR_LANGUAGECONFLICT"},
    {5546, "ERR_REGISTER"},
    {5547, "ERR_UNREGISTER"},
    {5548, "ERR_ADMINSETUPOK"},
    {5549, "ERR_NOHELPAVAILABLE"},
    {5550, "ERR_UNINSTALLPREV"},
    {5551, "ERR_RUNTIMEVERSION"},
    {5552, "ERR_OLDFILEVERSION"},
    {5553, "ERR_ODBC"},
    {5554, "ERR_READ_KEY"},
    {5555, "ERR_SECURITY"},
    {5556, "ERR_REMOVEGROUP"},
    {5557, "ERR_REMOVEUSER"},
    {5558, "ERR_REMOVEMEMBER"},
    {5559, "ERR_SERVICE"},
    {5560, "ERR_FILENOTINCABINET"},
    {5561, "ERR_PRINTER"},
    {5562, "ERR_NEWREVISION"},
    {5563, "ERR_OTHERUSERS"},
    {5564, "ERR_REQUIREMENTSFAILED"},
    {5565, "ERR_REQUIREMENTSMSG"},
    {5566, "ERR_INSUFFICENTSPACE"},
    {5567, "ERR_GENERICINFO"},
    {5569, "ERR_NOTTERMINATED"},
    {5570, "ERR_UNINSTALLOLD"},
    {5571, "ERR_ODBC_IGNORE"},
    {5572, "ERR_VERSIONFAILED"},
};

struct AnswerWord {
  std::string_view word;
  int nResult;
};

constexpr std::array<AnswerWord, 7> kAnswerWords = {{
    {"all", 1},
    {"none", 1},
    {"ok", 2},
    {"cancel", 2},
    {"ignore", 5},
    {"yes", 6},
    {"no", 7},
}};

}  // namespace

std::string_view MessageName(int nMessage) {
  for (const NamedMessage& named : kNames)
    if (named.nMessage == nMessage) return named.name;
  return {};
}

bool AnswerWordResult(std::string_view word, int& nResult) {
  for (const AnswerWord& answer : kAnswerWords) {
    if (platform::AnsiEqualNoCase(word, answer.word)) {
      nResult = answer.nResult;
      return true;
    }
  }
  return false;
}

}  // namespace tarvium
