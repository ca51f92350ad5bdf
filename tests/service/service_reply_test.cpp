#include <gtest/gtest.h>

#include "platform/win_error.h"
#include "service/service_notifications.h"
#include "service/service_reply.h"

namespace tarvium {
namespace {

TEST(ServiceReply, DialogRepliesGiveStatusAnswerAndValues) {
  struct Case {
    const char* pszReply;
    uint32_t dwStatus;
    bool bHasAnswer;
    int nResult;
    std::vector<std::string> values;
  };
  const Case cases[] = {
      {"0;next;C:\\App", 0, true, 1, {"C:\\App"}},
      {"0", 0, false, 2, {}},  // status only: no answer word, no values
      {"0;YES", 0, true, 6, {}},
      {"0;no", 0, true, 2, {}},
      {"0;Ok", 0, true, 1, {}},
      {"0;prev", 0, true, 998, {}},
      {"0;back", 0, true, 998, {}},
      {"0;fromcd", 0, true, 7105, {}},
      {"0;local", 0, true, 7102, {}},
      {"0;skip", 0, true, 996, {}},
      {"0;maybe;x", 0, true, 2, {"x"}},
      {"0;;", 0, true, 2, {""}},
      {"0;ok;;x;", 0, true, 1, {"", "x", ""}},
      {"1;yes;v", 1, false, 2, {}},  // a non-zero status is a failure
      {"garbage", platform::ERROR_INVALID_DATA, false, 2, {}},
      {"", platform::ERROR_INVALID_DATA, false, 2, {}},
      {" 0;next", platform::ERROR_INVALID_DATA, false, 2, {}},
  };
  for (const Case& c : cases) {
    const DialogReply reply = ParseDialogReply(c.pszReply);
    EXPECT_EQ(reply.dwStatus, c.dwStatus) << c.pszReply;
    EXPECT_EQ(reply.bHasAnswer, c.bHasAnswer) << c.pszReply;
    EXPECT_EQ(reply.nResult, c.nResult) << c.pszReply;
    EXPECT_EQ(reply.values, c.values) << c.pszReply;
  }
}

TEST(ServiceReply, OpeningRequestsSplitAtSemicolonsAndLineBreaks) {
  struct Case {
    const char* pszReply;
    const char* pszWord;
    const char* pszArgument;
    bool bHasArgument;
  };
  const Case cases[] = {
      {"resolve;%WINDIR%\\x", "resolve", "%WINDIR%\\x", true},
      {"getsize\r\nMain\r\n", "getsize", "Main", true},
      {"getsize;Main;ignored", "getsize", "Main", true},
      {"getsize;", "getsize", "", false},
      {";;resolve;;x", "resolve", "x", true},
      {"resolve", "resolve", "", false},
      {"", "", "", false},
  };
  for (const Case& c : cases) {
    const InitRequest request = ParseInitRequest(c.pszReply);
    EXPECT_EQ(request.word, c.pszWord) << c.pszReply;
    EXPECT_EQ(request.argument, c.pszArgument) << c.pszReply;
    EXPECT_EQ(request.bHasArgument, c.bHasArgument) << c.pszReply;
  }
}

TEST(ServiceReply, ProgressPercentOnlyScalesOtherMaximums) {
  struct Case {
    int64_t nMaximum, nPosition, nSent;
  };
  for (const Case& c : {Case{200, 50, 25}, Case{100, 37, 37}, Case{0, 7, 7}, Case{300, 0, 0},
                        Case{3, 1, 33}, Case{3000000000LL, 3000000000LL, 100}})
    EXPECT_EQ(ProgressPercent(c.nMaximum, c.nPosition), c.nSent)
        << c.nMaximum << " " << c.nPosition;
}

}  // namespace
}  // namespace tarvium
