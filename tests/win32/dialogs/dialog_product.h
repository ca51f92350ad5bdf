// What each dialog test sets up and looks at in the Wine prefix: a medium of its own (a scratch
// folder with a copy of Setup.exe beside the Setup.inf, as a product ships it), product names and
// registry keys no other test uses, and a clean-up that removes the medium, the product's keys and
// the folders it installed to, so that every test starts from the same prefix. Registry, file and
// process questions are answered by Windows' own functions, not by the engine.
#pragma once
#include <string>
#include <vector>

#include "win32/dialogs/dialog_driver.h"
#include "win32/scratch_places.h"

namespace tarvium::test {

class DialogProduct {
 public:
  DialogProduct();
  ~DialogProduct();
  DialogProduct(const DialogProduct&) = delete;
  DialogProduct& operator=(const DialogProduct&) = delete;

  // "Tarvium Dialog Tests-<unique>": the developer and the first part of the machine key.
  const std::string& Vendor() const { return vendor_; }
  // The window title of the product's runs, the same for every test (the pictures of the
  // dialogs show it); the setup's windows are told apart by their process.
  std::string Title() const { return "Tarvium Test Setup"; }
  std::string Media() const { return media_.Path(); }
  // The machine key of a product whose MachineKeyName is "<Vendor>\<rest>".
  std::string MachineKey(const std::string& rest) const {
    return "Software\\" + vendor_ + "\\" + rest;
  }
  // The [Setup] and [Application] head with the vendor, the title, the product name and
  // the directory (below the folders RemoveLater removes), followed by the extra lines.
  std::string Head(const std::string& productName, const std::string& directory,
                   const std::string& extraLines);
  // The lines of [Application] that name the product, its title and its programs-list entry
  // ("<Vendor> <productName>", removed afterwards), each ending with CR LF.
  std::string NameLines(const std::string& productName);

  void WriteFile(const std::string& name, const std::string& bytes) const;
  // Copies a file of the host into the medium under the name.
  void CopyIn(const std::string& source, const std::string& name) const;
  // Removes the folder with everything in it when the test ends.
  void RemoveLater(const std::string& folder) { folders_.push_back(folder); }
  // An empty folder name below C:\Tarvium Dialog Tests for the test to install into, one per
  // label (removed afterwards).
  std::string NewInstallFolder(const std::string& label);

  // Starts the medium's Setup.exe with the arguments.
  testing::AssertionResult Start(SetupProcess& setup, const std::string& arguments) const;

 private:
  ScratchFolder media_;
  std::string vendor_;
  std::vector<std::string> folders_;
  std::vector<std::string> uninstallKeys_;
};

// The language the setup's pages take (the management agent's language map, HKCU), set for the
// length of a test.
class PageLanguage {
 public:
  explicit PageLanguage(const std::string& code);
  ~PageLanguage();
};

// A REG_SZ of HKEY_LOCAL_MACHINE (the 64-bit view); empty when it is missing.
std::string MachineText(const std::string& keyPath, const std::string& valueName);
bool MachineKeyExists(const std::string& keyPath);
bool PathExists(const std::string& path);
// Whether a process of this file name runs.
bool ProcessRuns(const std::string& exeName);

}  // namespace tarvium::test
