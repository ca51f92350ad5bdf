#!/usr/bin/env bash
# Every program's --version names the version CMake's project() sets, and the manual pages in man/
# cannot go stale: each formats without a warning, tarvium-setup.1 names every switch of the
# engine's usage text and of its command-line parser and every exit code of its table,
# winmachine.1 every command that winmachine --help lists, and every page's examples run.
# Usage: version_and_manuals.sh VERSION SOURCE_DIR PROGRAM... (Setup.exe first)
set -euo pipefail
version=$1
source=$2
shift 2
setup=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The roff source as text: font changes dropped, the escapes for '-', '\' and "'" resolved.
plain() { sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' -e 's/\\e/\\/g' -e "s/\\\\(aq/'/g" "$1"; }
# The lines of one section (.SH NAME) of a page, as text.
section() { plain "$1" | sed -n "/^\.SH \"\{0,1\}$2\"\{0,1\}\$/,/^\.SH /p"; }
page_of() { [ "$1" = Setup.exe ] && echo tarvium-setup || echo "$1"; }

# --version: first, and for Setup.exe anywhere; answered before a machine is opened or created.
check_version() {
  local program=$1 name
  name=$(basename "$program")
  shift
  local out status=0
  out=$(TARVIUM_MACHINE="$work/no-machine" "$program" "$@" 2> "$work/stderr") || status=$?
  [ "$status" -eq 0 ] || fail "$name $* exits with $status"
  [ "$(head -n1 <<< "$out")" = "$name (Tarvium Setup) $version" ] ||
    fail "$name $*: first line '$(head -n1 <<< "$out")'"
  sed -n 2p <<< "$out" | grep -q '^Copyright ' || fail "$name $*: no copyright line"
  [ ! -s "$work/stderr" ] || fail "$name $*: wrote on stderr: $(cat "$work/stderr")"
  [ ! -e "$work/no-machine" ] || fail "$name $* created a machine"
}
for program in "$@"; do check_version "$program" --version; done
check_version "$setup" /S --version Setup.inf

# Setup.exe's --help and -h: the usage on standard output, and no machine opened or created.
for ask in --help -h; do
  out=$(TARVIUM_MACHINE="$work/no-machine" "$setup" /S "$ask" 2> "$work/stderr") ||
    fail "Setup.exe $ask exits with $?"
  grep -q '^Usage: Setup ' <<< "$out" || fail "Setup.exe $ask: no usage line on stdout"
  [ ! -s "$work/stderr" ] || fail "Setup.exe $ask: wrote on stderr: $(cat "$work/stderr")"
  [ ! -e "$work/no-machine" ] || fail "Setup.exe $ask created a machine"
done

# One page per program, with the sections a reader looks for, formatted without a warning.
for program in "$@"; do
  page="$source/man/$(page_of "$(basename "$program")").1"
  [ -f "$page" ] || { fail "no manual page $page"; continue; }
  for heading in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" EXAMPLES "SEE ALSO"; do
    grep -q "^\.SH $heading\$" "$page" || fail "$(basename "$page") has no section $heading"
  done
  warnings=$(groff -man -ww -z "$page" 2>&1) || fail "groff fails on $(basename "$page")"
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

# Every switch letter of the usage text (message 5541) and of the parser's switch table.
engine_page="$source/man/tarvium-setup.1"
usage=$(TARVIUM_MACHINE="$work/machine" "$setup" /? < /dev/null 2>&1 | grep '^Usage:') ||
  fail "Setup.exe /? shows no usage line"
letters=$( (grep -o '/[A-Za-z?]' <<< "$usage" | cut -c2
            sed -n "s/^ *case '\(.\)':.*/\1/p" "$source/src/engine/command_line.cpp") | sort -u)
[ "$(wc -w <<< "$letters")" -ge 20 ] || fail "only these switches found: $letters"
options=$(section "$engine_page" OPTIONS)
for letter in $letters; do
  pattern=$([ "$letter" = '?' ] && echo '\?' || echo "$letter")
  grep -qE "(^|[^[:alnum:]])/$pattern([^[:lower:]]|\$)" <<< "$options" ||
    fail "tarvium-setup.1 does not describe the switch /$letter"
done

# Every exit code of the engine's table.
codes=$(sed -n 's/^inline constexpr int32_t kExit[A-Za-z]* = \(-\{0,1\}[0-9]*\);.*/\1/p' \
        "$source/src/engine/exit_code.h")
[ "$(wc -w <<< "$codes")" -ge 7 ] || fail "only these exit codes found: $codes"
exit_status=$(section "$engine_page" "EXIT STATUS")
for code in $codes; do
  grep -qE "(^|[^0-9-])$code([^0-9]|\$)" <<< "$exit_status" ||
    fail "tarvium-setup.1 does not describe the exit code $code"
done

# Every command of winmachine --help, as the start of an entry under COMMANDS.
for program in "$@"; do [ "$(basename "$program")" = winmachine ] && winmachine=$program; done
commands=$("$winmachine" --help | sed -n 's/^  \([a-z][a-z]*\).*/\1/p' | sort -u)
[ "$(wc -w <<< "$commands")" -ge 15 ] || fail "only these winmachine commands found: $commands"
listed=$(section "$source/man/winmachine.1" COMMANDS)
for command in $commands; do
  grep -qE "^\.(B|BI|BR) +\"?$command( |\"|\$)" <<< "$listed" ||
    fail "winmachine.1 does not describe the command $command"
done

# Every example runs as written: a page's .EX blocks of EXAMPLES are one `bash -e -o pipefail`
# session, as in a reader's terminal, in a scratch folder that is also HOME (so the default machine
# is a fresh one) and TMPDIR, with the programs on PATH (the engine also as tarvium-setup) and what
# the examples presume: a small product's Setup.inf (it asks for its directory and a restart) with
# its file, the same in media/, and a setup-agent script answers.txt (it repeats the setup of an
# installed product).
mkdir "$work/bin"
for program in "$@"; do ln -s "$(realpath "$program")" "$work/bin/"; done
ln -s "$(realpath "$setup")" "$work/bin/tarvium-setup"
for program in "$@"; do
  name=$(page_of "$(basename "$program")").1
  folder="$work/examples/$name"
  mkdir -p "$folder/media"
  printf '%s\n' '[Setup]' 'Version=4.10' '[Application]' 'ProductName=Hello' 'AskDir=1' 'Reboot=1' \
    'MachineKeyName=Example Maker\Hello\1.0' 'ApplicationDir=%ProgramFilesDir%\Hello' \
    'UninstallKeyName=Hello' 'UninstallDisplayName=Hello 1.0' \
    '[Options]' 'Program=Program files,DEFAULT' '[Program]' '1:hello.txt' > "$folder/Setup.inf"
  echo 'Hello, world' > "$folder/hello.txt"
  cp "$folder/Setup.inf" "$folder/hello.txt" "$folder/media/"
  printf 'instsame = 0;next;1\noptions = 0;next;Program\n' > "$folder/answers.txt"
  section "$source/man/$name" EXAMPLES | awk -v page="$name" '/^\.EE$/ { inside = 0 } inside
    /^\.EX$/ { inside = 1; print "echo \"## " page ", example " ++n "\" >&2" }
    END { print "wait" }' > "$folder.sh"
  grep -q '^echo "## ' "$folder.sh" || fail "$name has no example"
  (cd "$folder" && env -u TARVIUM_MACHINE -u TARVIUM_EXIT_CODE_FILE -u TARVIUM_DEBUG_OUTPUT \
     HOME="$folder" TMPDIR="$folder" PATH="$work/bin:$PATH" \
     timeout 60 bash -e -o pipefail "$folder.sh" < /dev/null > "$folder.log" 2>&1) ||
    fail "$(grep '^## ' "$folder.log" | tail -n1 | cut -c4-) stopped:
$(tail -n5 "$folder.log")"
done

[ "$failures" -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "versions and manual pages agree with the programs and the code"
