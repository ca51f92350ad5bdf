// What the removal of a product leaves on the machine on purpose, so that a diff of the machine
// before its installation and after its removal can leave it out and show only what a removal
// should not have left: the engine image _UnInst.exe, which every product's uninstall command
// starts; LastError under HKLM\Software\kelvaron\Stowfield, the last message shown, kept for the
// management agent; the programs-list entry with the values that the removal's list does not
// name (PackageGUID and the UninstallOptions words); and the empty keys above the product's
// record (Software\<Maker>\<Product>\<Version>), which the removal never deletes.
#pragma once
#include <string_view>

namespace platform::emulated {

// Whether an added file is one a removal leaves (paths are Windows paths).
bool IsRemovalLeftoverFile(std::string_view path);

// Whether an added or changed value is one a removal leaves (keyPath with its root's long name:
// "HKEY_LOCAL_MACHINE\\SOFTWARE\\...").
bool IsRemovalLeftoverValue(std::string_view keyPath, std::string_view valueName);

// Whether an added key may be left by a removal when it holds nothing but leftover values: the
// keys of the two kinds of value above, and keys one to three levels below a Software key that
// belong to no part of Windows (the keys above a product's record).
bool MayBeRemovalLeftoverKey(std::string_view keyPath);

}  // namespace platform::emulated
