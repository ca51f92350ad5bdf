#include "rule_table.h"

#include <array>

namespace tarvium::lint {

namespace {

constexpr std::array<Rule, 15> kRules = {{
    {"missing-section",
     "an option or a #reference names a section the file lacks (message 5529 at run time)"},
    {"unknown-flag",
     "a flag word the engine does not know on an option, copy or #reference line "
     "(message 5530 at run time)"},
    {"bad-condition", "an IF line or condition the engine cannot read (message 5528 at run time)"},
    {"duplicate-section",
     "a section header given twice: the engine reads the first and ignores the other"},
    {"duplicate-key",
     "a key of [Setup] or [Application] given twice: the engine reads the first line of it"},
    {"no-uninstall-name",
     "[Application] has no UninstallDisplayName: the product never appears in the programs list"},
    {"setup-inf-not-copied",
     "no copy line brings Setup.inf along: the registered removal cannot "
     "find its setup information file"},
    {"no-size", "a copy line without a size field: the needed disk space is computed without it"},
    {"dir-variable-glued",
     "%SrcDir% or %App% directly followed by a name: the directory and the name run together"},
    {"missing-source",
     "with MEDIA_DIR: a copy line's source is not on the media, plain, compressed or in the "
     "medium's cabinet (the engine asks for the medium, or 5560 for a cabinet)"},
    {"bad-registry-line",
     "a line of a registry section without a known root: the engine skips it silently"},
    {"value-too-long",
     "a key of the product's sections longer than the engine's room (255 or 1024 characters): "
     "the rest is cut off"},
    {"bad-encrypted-value",
     "a value of [Encryption] that does not decrypt (damaged, or AES): the variable keeps the "
     "encrypted text"},
    {"path-in-autoexec",
     "'Path=' in an autoexec.bat section names the batch file's folder, it is no PATH line"},
    {"admin-without-appdir",
     "[Admin] without ApplicationDir: an administrator setup (/A) starts with an empty "
     "application directory"},
}};

}  // namespace

std::span<const Rule> Rules() {
  return kRules;
}

}  // namespace tarvium::lint
