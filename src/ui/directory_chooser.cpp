// The directory chooser as a text-mode page: the directory it stands in, and a list of its
// subdirectories with ".." above them to go up; above a drive's root the list holds the drives of
// the machine. Enter on an entry goes into it, OK takes the directory the chooser stands in (in
// the list of drives, the drive under the cursor), Cancel or Escape keeps the field as it was.
// A start that does not exist (a directory the setup will create) opens the nearest directory
// above it that does. Everything is read through the machine's file system in Windows paths.
#include "ui/directory_chooser.h"

#include <newt.h>

#include <algorithm>
#include <vector>

#include "platform/ansi_case.h"
#include "ui/browse_start.h"
#include "ui/page_texts.h"
#include "ui/text_layout.h"

namespace tarvium::ui {
namespace {

constexpr int kMaxWidth = 76;

struct Choice {
  std::string label;   // ANSI, as listed
  std::string target;  // the directory it leads to; empty: the list of drives
};

bool IsDriveRoot(const std::string& directory) {
  return directory.size() == 3 && directory[1] == ':' && directory[2] == '\\';
}

std::string ParentOf(std::string directory) {
  if (IsDriveRoot(directory)) return "";
  while (directory.size() > 3 && directory.back() == '\\') directory.pop_back();
  const size_t nLast = directory.rfind('\\');
  if (nLast == std::string::npos) return "";
  directory.erase(nLast);
  if (directory.size() == 2 && directory[1] == ':') directory += '\\';
  return directory;
}

std::string ChildOf(const std::string& directory, const std::string& name) {
  return directory.back() == '\\' ? directory + name : directory + "\\" + name;
}

// The drives a directory listing can start from, as GetLogicalDrives would name them.
std::vector<Choice> DriveChoices(platform::FileSystem& files) {
  std::vector<Choice> choices;
  for (char cDrive = 'A'; cDrive <= 'Z'; ++cDrive) {
    const std::string root = std::string(1, cDrive) + ":\\";
    if (files.DirectoryExists(root)) choices.push_back({root, root});
  }
  return choices;
}

std::vector<Choice> SubdirectoryChoices(platform::FileSystem& files, const std::string& directory) {
  std::vector<Choice> choices;
  platform::FindHandle hFind;
  platform::FindData data;
  if (files.FindFirstFile(ChildOf(directory, "*"), hFind, data) == platform::ERROR_SUCCESS) {
    do {
      const bool bDirectory = (data.dwFileAttributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0;
      if (bDirectory && data.cFileName != "." && data.cFileName != "..")
        choices.push_back({data.cFileName + "\\", ChildOf(directory, data.cFileName)});
    } while (files.FindNextFile(hFind, data) == platform::ERROR_SUCCESS);
    files.FindClose(hFind);
  }
  std::sort(choices.begin(), choices.end(), [](const Choice& a, const Choice& b) {
    return platform::AnsiCompareNoCase(a.target, b.target) < 0;
  });
  choices.insert(choices.begin(), {"..", ParentOf(directory)});
  return choices;
}

class ChooserWindow {
 public:
  ChooserWindow(TextSession& session, platform::FileSystem& files)
      : scope_(session), files_(files) {
    const RunFrame frame = session.Frame();
    language_ = frame.lcidLanguage;
    const int nWidth = std::min(kMaxWidth, session.Columns() - 6);
    const int nHeight = std::max(10, session.Rows() - 5);
    nTextWidth_ = static_cast<size_t>(nWidth - 4);
    newtCenteredWindow(nWidth, nHeight, FitLine(ForDisplay(frame.title), nWidth - 4).c_str());
    form_ = newtForm(nullptr, nullptr, NEWT_FLAG_NOF12);
    newtFormAddComponent(form_, newtLabel(2, 0, Text(PageText::ChooserHeading)));
    where_ = newtLabel(2, 2, std::string(nTextWidth_, ' ').c_str());
    list_ = newtListbox(2, 4, nHeight - 6, NEWT_FLAG_RETURNEXIT | NEWT_FLAG_SCROLL);
    newtListboxSetWidth(list_, nWidth - 4);
    cancel_ = AddButton(PageText::Cancel, nWidth - 2, nHeight - 1);
    ok_ = AddButton(PageText::OK, nWidth - 2, nHeight - 1);
    newtFormAddComponents(form_, where_, list_, ok_, cancel_, nullptr);
    newtFormAddHotKey(form_, NEWT_KEY_ESCAPE);
  }
  ~ChooserWindow() {
    newtFormDestroy(form_);
    newtPopWindow();
  }
  ChooserWindow(const ChooserWindow&) = delete;
  ChooserWindow& operator=(const ChooserWindow&) = delete;

  // Runs the chooser from start; true with the chosen directory, false when cancelled.
  bool Run(const std::string& start, std::string& chosen) {
    std::string directory = start;
    while (!directory.empty() && !files_.DirectoryExists(directory))
      directory = ParentOf(directory);
    Enter(directory);
    while (true) {
      newtExitStruct exit{};
      newtFormRun(form_, &exit);
      if (exit.reason == newtExitStruct::NEWT_EXIT_HOTKEY ||
          exit.reason == newtExitStruct::NEWT_EXIT_ERROR || exit.u.co == cancel_)
        return false;
      const Choice* choice = Current();
      if (exit.u.co == list_ && choice) {
        Enter(choice->target);
      } else if (exit.u.co == ok_) {
        chosen = !directory_.empty() ? directory_ : choice ? choice->target : "";
        if (!chosen.empty()) return true;
      }
    }
  }

 private:
  const char* Text(PageText text) const { return TextOf(text, language_); }

  // Placed from the right: the first one made ends at column nRight, each next one left of it.
  newtComponent AddButton(PageText text, int nRight, int nRow) {
    const int nLeft =
        (nNextRight_ ? nNextRight_ : nRight) - static_cast<int>(DisplayWidth(Text(text))) - 3;
    nNextRight_ = nLeft - 1;
    return newtCompactButton(nLeft, nRow, Text(text));
  }

  void Enter(std::string directory) {  // a copy: it may be one of the choices replaced here
    directory_ = directory;
    choices_ = directory.empty() ? DriveChoices(files_) : SubdirectoryChoices(files_, directory);
    newtLabelSetText(
        where_, FitLine(directory.empty() ? Text(PageText::ChooserDrives) : ForDisplay(directory),
                        nTextWidth_)
                    .c_str());
    newtListboxClear(list_);
    for (size_t i = 0; i < choices_.size(); ++i)
      newtListboxAppendEntry(list_, ForDisplay(choices_[i].label).c_str(),
                             reinterpret_cast<const void*>(i + 1));
    newtFormSetCurrent(form_, list_);
  }

  const Choice* Current() const {
    const auto nIndex = reinterpret_cast<size_t>(newtListboxGetCurrent(list_));
    return nIndex == 0 || nIndex > choices_.size() ? nullptr : &choices_[nIndex - 1];
  }

  DialogScope scope_;
  platform::FileSystem& files_;
  uint32_t language_ = 0;
  size_t nTextWidth_ = 0;
  newtComponent form_ = nullptr;
  newtComponent where_ = nullptr;
  newtComponent list_ = nullptr;
  newtComponent ok_ = nullptr;
  newtComponent cancel_ = nullptr;
  int nNextRight_ = 0;
  std::vector<Choice> choices_;
  std::string directory_;  // where the chooser stands; empty: the list of drives
};

}  // namespace

bool ChooseDirectory(TextSession& session, platform::FileSystem& files, std::string& directory) {
  ChooserWindow window(session, files);
  std::string chosen;
  if (!window.Run(BrowseStartDirectory(directory, files), chosen)) return false;
  directory = chosen;
  return true;
}

}  // namespace tarvium::ui
