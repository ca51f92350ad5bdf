// The keys of a message box: access letters in either case press their button, Escape answers 2
// only when a button answers 2, F1 is Help only in a box with Help, and other keys press nothing.
#include "ui/box_keys.h"

#include <gtest/gtest.h>

namespace tarvium::ui {
namespace {

MessageBoxRequest Box(std::vector<MessageButton> buttons) {
  MessageBoxRequest request;
  request.buttons = std::move(buttons);
  return request;
}

TEST(BoxKeys, AccessLettersAndEscapeGiveTheButtonsResults) {
  const MessageBoxRequest abort = Box({{"&Yes", 6}, {"&No", 7}, {"&Help", 9}});
  const MessageBoxRequest retry = Box({{"&Retry", 4}, {"&Cancel", 2}});
  const MessageBoxRequest okOnly = Box({{"OK", 2}});
  struct Case {
    const MessageBoxRequest& request;
    int nKey;
    int nExpected;
  };
  const Case cases[] = {
      {abort, 'y', 6},        {abort, 'N', 7},    {abort, 'h', 9},
      {abort, kEscapeKey, 0},  // no button answers 2: Escape does nothing
      {abort, 'x', 0},        {abort, 0x1000, 0}, {retry, kEscapeKey, 2},
      {retry, 'r', 4},        {retry, 'C', 2},    {okOnly, kEscapeKey, 2},
      {okOnly, 'o', 0},                            // a label without '&' has no letter
      {abort, kF1Key, 9},     {retry, kF1Key, 0},  // F1 is Help only where Help is shown
  };
  for (const Case& c : cases) EXPECT_EQ(ResultOfBoxKey(c.request, c.nKey), c.nExpected) << c.nKey;
}

}  // namespace
}  // namespace tarvium::ui
