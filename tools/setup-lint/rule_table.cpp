#include "rule_table.h"

#include <array>

namespace tarvium::lint {

namespace {

constexpr std::array<Rule, 30> kRules = {{
    {"no-sections", "a file without a [section]: empty, binary or no setup information file"},
    {"no-version",
     "no [Setup] Version, or one older than the engine accepts: the file is refused (message "
     "5532)"},
    {"missing-section",
     "an option or a #reference names a section the file lacks (message 5529 at run time)"},
    {"unknown-flag",
     "a flag word the engine does not know on an option, copy or #reference line "
     "(message 5530 at run time)"},
    {"bad-condition",
     "an IF line, condition or [Requirements] line the engine cannot read (message 5528 at run "
     "time), or a requirement with an unknown operator, which never holds"},
    {"bad-expression",
     "a Set command or variable section value whose function call lacks its name or ')' "
     "(message 5528, the variable is not set), or names no function (the text stays as written)"},
    {"nested-too-deep",
     "a #reference more than 100 sections below the option's section: the section fails "
     "(message 5565)"},
    {"duplicate-section",
     "a section header given twice: the engine reads the first and ignores the other"},
    {"duplicate-key",
     "a key given twice where the engine uses one line of it: the first in sections read by key "
     "([Setup], [Application], [Admin], [Disks], ...), the last in variable sections and "
     "[OptionDependencies]; or an option named twice"},
    {"no-uninstall-name",
     "[Application] has an UninstallKeyName but no UninstallDisplayName: the programs list hides "
     "the entry"},
    {"setup-inf-not-copied",
     "a product in the programs list (UninstallKeyName) whose copy lines do not install the file "
     "as %App%\\ + SetupInfDir + its own name: its removal cannot find it"},
    {"no-size",
     "a copy line without a size field (not a directory, deletion or CREATE line): the needed "
     "disk space is computed without it (--fill-sizes writes it)"},
    {"dir-variable-glued",
     "%SrcDir% or %App% directly followed by a name: the directory and the name run together"},
    {"missing-source",
     "with MEDIA_DIR: a copy line's source is not on the media, plain, compressed or in the "
     "medium's cabinet (the engine asks for the medium, or 5560 for a cabinet)"},
    {"wrong-size",
     "with MEDIA_DIR: a copy line's size differs from its source's (--fill-sizes corrects it): "
     "an interactive run asks 5517 and its default, Cancel, stops the installation (a warning "
     "for size 0 or NOSIZEWARNING, which are not checked)"},
    {"bad-registry-line",
     "a line of a registry section without a known root (the engine skips it silently), or "
     "whose number is not all digits (the engine writes what it reads of it)"},
    {"value-too-long",
     "a key of the product's sections longer than the engine's room (255 or 1024 characters), "
     "or an option description over 255: the rest is cut off"},
    {"bad-encrypted-value",
     "a value of [Encryption] that does not decrypt (damaged, or AES): the variable keeps the "
     "encrypted text"},
    {"path-in-autoexec",
     "'Path=' in an autoexec.bat section is put before the batch file's full name, not a PATH "
     "line: the file cannot be created (5504 at run time) and the section fails"},
    {"no-appdir",
     "a copy line into %App% without [Application] ApplicationDir: the run installs nothing "
     "there and reports success"},
    {"admin-without-appdir",
     "[Admin] without ApplicationDir: an administrator setup (/A) starts with an empty "
     "application directory"},
    {"undefined-variable",
     "a %Name% that neither the engine nor the file defines, on a line the installation reads: "
     "it reads as empty"},
    {"option-order",
     "a child option (Parent\\Child) before its parent, or without one: the run stops "
     "(message 5533)"},
    {"option-cycle", "options whose [OptionDependencies] select each other in a circle"},
    {"unknown-option",
     "[OptionDependencies] or [OptionGroups] names an option the file does not declare "
     "(message 5529 at run time, the name is skipped)"},
    {"one-member-group", "an [OptionGroups] line, an exclusive choice, with a single member"},
    {"unknown-section-kind",
     "a reached section named like a handler's (Kind:name, name.ext) that no handler takes"},
    {"bad-command",
     "a command line naming no command (a bare word, started as a program), giving a command "
     "too few arguments (message 5528) or more than it reads (the rest is ignored), a counter "
     "command without its counter, or a registry line outside a registry section (5508)"},
    {"bad-security-line",
     "a security section line that is no Object.Method (fields) the engine knows (message 5555, "
     "the section stops)"},
    {"missing-strings",
     "a language the file declares (by a Strings:xx or SysStrings:xx section) without a string "
     "section, or a string key one language's section lacks"},
}};

}  // namespace

std::span<const Rule> Rules() {
  return kRules;
}

}  // namespace tarvium::lint
