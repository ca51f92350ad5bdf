// Drives the real Setup.exe through its windows, as a person at the screen would, from another
// process: the program is started with a console of its own (so that its standard error is no
// file or pipe and it shows its dialogs), its dialogs are found by their heading or caption, and
// buttons, keys, edits, combo boxes and the options tree are worked by window messages. Buttons
// are pressed with a posted WM_COMMAND, which cannot block against the dialog's modal loop; text
// is set and read with sent messages, which Windows carries across processes. Every wait has a
// generous time-out and fails naming what it waited for and which windows the process shows.
// Declared without Windows types (handles as numbers), so that the tests keep the project's
// constants, as test_window.h does.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvium::test {

inline constexpr uint32_t kDialogTimeoutMs = 30000;

// One item of the options tree: its text and the index of its state image (the check box).
struct TreeRow {
  uint64_t hItem = 0;
  std::string text;
  int nStateImage = 0;
};

// A dialog of the setup process and its controls, named by their IDs. Texts are UTF-8.
class Dialog {
 public:
  Dialog() = default;
  explicit Dialog(uint64_t handle) : handle_(handle) {}

  uint64_t Handle() const { return handle_; }
  // The dialog is there and shown.
  bool Exists() const;
  std::string Caption() const;
  // The text of a control (a static, an edit, a button's label); empty when it is missing.
  std::string Text(int nId) const;
  bool HasControl(int nId) const;
  // Visible and enabled: a person could use it.
  bool IsUsable(int nId) const;
  // The ID of the control that has the keyboard focus in the dialog's thread (0: none of ours).
  int FocusedControl() const;
  // The default push button (DM_GETDEFID); 0 when the dialog has none.
  int DefaultButton() const;

  // Presses a button as a click does: BN_CLICKED posted to the dialog. Fails, saying why, when
  // the button is missing, hidden or disabled, as a person could not press it either.
  testing::AssertionResult Press(int nId) const;
  // A key pressed and released on the control that has the focus (VK_RETURN, VK_ESCAPE, ...).
  void PressKey(int nVirtualKey) const;
  // Replaces an edit's text (WM_SETTEXT), as typing would.
  testing::AssertionResult SetText(int nId, const std::string& text) const;

  // The entries of a list box or a combo box.
  std::vector<std::string> ListItems(int nId) const;
  std::vector<std::string> ComboItems(int nId) const;
  // Selects the combo box entry with this text and tells the dialog (CBN_SELCHANGE).
  testing::AssertionResult SelectCombo(int nId, const std::string& text) const;
  // The position of a progress bar.
  int ProgressPosition(int nId) const;

  // The options tree in tree order (depth first), with each item's state image.
  std::vector<TreeRow> TreeRows(int nId) const;
  // Selects the item with this text, as a click on its label does.
  testing::AssertionResult SelectTreeItem(int nId, const std::string& text) const;
  // Selects the item with this text and presses Space on the tree, as a person toggles it.
  testing::AssertionResult ToggleTreeItem(int nId, const std::string& text) const;
  // The state image of the item with this text; -1 when there is none.
  int TreeImage(int nId, const std::string& text) const;
  // Waits until that state image satisfies the test.
  testing::AssertionResult WaitForTreeImage(int nId, const std::string& text,
                                            const std::function<bool(int)>& test,
                                            const std::string& what,
                                            uint32_t nTimeoutMs = kDialogTimeoutMs) const;

  // Waits until the control's text satisfies the test (or the dialog is gone: false).
  testing::AssertionResult WaitForText(int nId, const std::function<bool(const std::string&)>& test,
                                       const std::string& what,
                                       uint32_t nTimeoutMs = kDialogTimeoutMs) const;
  testing::AssertionResult WaitForText(int nId, const std::string& text,
                                       uint32_t nTimeoutMs = kDialogTimeoutMs) const;
  // Waits until the dialog is no longer there.
  testing::AssertionResult WaitClosed(uint32_t nTimeoutMs = kDialogTimeoutMs) const;
  // Waits until the keyboard focus is on another control than nFrom.
  testing::AssertionResult WaitFocusLeaves(int nFrom, uint32_t nTimeoutMs = kDialogTimeoutMs) const;

  // With TARVIUM_SCREENSHOTS=<folder> set, writes the dialog's pixels to <folder>\<name>.bmp.
  void Screenshot(const std::string& name) const;

 private:
  uint64_t Control(int nId) const;
  uint64_t handle_ = 0;
};

// Setup.exe started for one test; killed when the object goes while it still runs, so that a
// failed test leaves nothing behind.
class SetupProcess {
 public:
  SetupProcess() = default;
  SetupProcess(const SetupProcess&) = delete;
  SetupProcess& operator=(const SetupProcess&) = delete;
  ~SetupProcess();

  // Runs the program with the arguments, in the folder as its current directory.
  testing::AssertionResult Start(const std::string& program, const std::string& arguments,
                                 const std::string& folder);
  bool Running() const;
  // Waits for the end and gives the exit code, all 32 bits.
  testing::AssertionResult WaitForExit(uint32_t& dwExitCode,
                                       uint32_t nTimeoutMs = kDialogTimeoutMs);
  void Kill();

  // Waits for a visible dialog of the process whose heading (control 1000) or caption is the
  // text; fails naming the text and the windows that are there instead.
  testing::AssertionResult WaitForDialog(const std::string& text, Dialog& dialog,
                                         uint32_t nTimeoutMs = kDialogTimeoutMs) const;
  // Waits for a visible dialog of the process that holds a control whose text contains part.
  testing::AssertionResult WaitForDialogShowing(int nId, const std::string& part, Dialog& dialog,
                                                uint32_t nTimeoutMs = kDialogTimeoutMs) const;
  // Waits for a visible dialog of the process that matches; what names it in the failure.
  testing::AssertionResult WaitForDialogWhere(const std::function<bool(const Dialog&)>& matches,
                                              const std::string& what, Dialog& dialog,
                                              uint32_t nTimeoutMs = kDialogTimeoutMs) const;
  // Waits for a visible top-level window of the process with this class.
  testing::AssertionResult WaitForWindowOfClass(const std::string& className, uint64_t& handle,
                                                uint32_t nTimeoutMs = kDialogTimeoutMs) const;
  // The process's visible windows, one line each: class, caption, heading and a box's text.
  std::string DescribeWindows() const;

 private:
  void* process_ = nullptr;
  uint32_t dwProcessId_ = 0;
};

// The text of a window's caption, for windows found by class.
std::string WindowCaption(uint64_t handle);

}  // namespace tarvium::test
