#!/usr/bin/env bash
# The bash completion of winmachine and of the engine, driven as bash drives it (COMP_WORDS and
# COMP_CWORD set, the function the script registered called, COMPREPLY read), against what the
# built programs print as their usage: a command or switch added to a program but not to its
# completion, or left in the completion after the program dropped it, fails here.
# Usage: completion_test.sh COMPLETION_DIR WINMACHINE SETUP_EXE SETUP_LINT
set -uo pipefail
completion_dir=$1
winmachine=$2
engine=$3
setup_lint=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

source "$completion_dir/winmachine" || exit 1
source "$completion_dir/tarvium-setup" || exit 1
source "$completion_dir/setup-lint" || exit 1

# The candidates the completion registered for the command word offers for the last word (the
# one under the cursor), sorted, one a line.
candidates() {
  local function
  function=$(complete -p "$1" | sed -n 's/.* -F \([^ ]*\) .*/\1/p')
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  "$function" 2> /dev/null
  ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}" | sort
}

check() {
  local name=$1 expected=$2 actual=$3
  if [[ $expected == "$actual" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $name" >&2
    diff <(echo "$expected") <(echo "$actual") | sed 's/^/  /' >&2
  fi
}

lines() { printf '%s\n' "$@" | sort; }

# winmachine: its commands are the first words of the usage lines indented by two blanks.
help=$("$winmachine" --help)
commands=$(sed -n 's/^  \([a-z][a-z]*\).*/\1/p' <<< "$help" | sort -u)
[[ -n $commands ]] || { echo "FAIL: no commands in winmachine --help" >&2; exit 1; }
check "commands" "$(lines $commands --help --machine --version)" "$(candidates winmachine '')"
check "commands after --machine DIR" "$commands" "$(candidates winmachine --machine m '')"
check "commands by prefix" "$(grep '^r' <<< "$commands")" "$(candidates winmachine r)"

# Each subcommand the usage names ("reg query", "programs uninstall|modify|repair",
# "; account del", "shares [list]") is offered, and each one offered is named there. A
# description's continuation lines are joined to the line they continue.
joined_help=$(sed -zE 's/\n {3,}/ /g' <<< "$help")
mkdir "$work/empty" && cd "$work/empty" || exit 1 # no file names among the candidates
for command in $commands; do
  offered=$(candidates winmachine "$command" '')
  [[ $command == acl ]] && continue # its second word is the kind of object, not a subcommand
  named=$(grep -oE "(^  |; |\| |\. )$command \[?[a-z]+(\|[a-z]+)*" <<< "$joined_help" |
          sed -E "s/.*$command \[?//" | tr '|' '\n' | sort -u)
  missing=$(comm -23 <(echo "$named") <(echo "$offered") | grep .)
  check "subcommands of $command the usage names" "" "$missing"
  for sub in $offered; do
    grep -qE "$command \[?([a-z]+\|)*$sub\b" <<< "$help" ||
      check "subcommand $command $sub is in the usage" "" "$command $sub"
  done
done

# Machine directories, machines or snapshots for diff, else directories to walk down.
mkdir -p "$work/places/plain/inner" && cd "$work/places" || exit 1
"$winmachine" create machine > /dev/null || exit 1
"$winmachine" --machine machine snapshot snap || exit 1
touch patterns.txt
# One row a case: name, expected candidates (blank-separated), the words after winmachine.
while IFS='|' read -r name expected words; do
  read -ra words <<< "$words"
  check "$name" "$(lines $expected)" "$(candidates winmachine "${words[@]}" '')"
done << 'ROWS'
--machine offers the machines|machine|--machine
diff offers machines and snapshots|machine snap|diff
create offers every directory|machine plain snap|create
snapshot offers every directory|machine plain snap|snapshot
files after diff --ignore|machine patterns.txt plain snap|diff machine --ignore
files for reg import|machine patterns.txt plain snap|reg import
the kinds of acl|file key printer share|acl
value types after reg add /t|REG_BINARY REG_DWORD REG_EXPAND_SZ REG_MULTI_SZ REG_NONE REG_QWORD REG_SZ|reg add HKLM\T /t
nothing for a value name||reg query HKLM\T /v
ROWS
check "--machine without a machine there walks down" "plain/inner" \
  "$(candidates winmachine --machine plain/)"

# The engine: the switches of its usage text, "/A[S|W]" also as /AS and /AW, and every letter of
# its command-line parser (the usage text leaves some out, /G among them); no switch whose letter
# the parser does not read, and only long options the engine answers.
usage=$(TARVIUM_MACHINE=$work/engine-machine "$engine" '/?' 2>&1 | grep '^Usage:')
[[ -n $usage ]] || { echo "FAIL: no usage text from $engine /?" >&2; exit 1; }
switches=$(grep -oE '/[A-Z?](\[[^]<]*\])?' <<< "$usage" | while IFS= read -r token; do
  echo "${token:0:2}"
  if [[ $token == *"["* ]]; then
    IFS='|' read -ra variants <<< "${token:3:-1}"
    printf "${token:0:2}%s\n" "${variants[@]}"
  fi
done | sort -u)
letters=$(sed -n "s/^ *case '\(.\)':.*/\1/p" "$completion_dir/../src/engine/command_line.cpp" | sort -u)
[[ $(wc -w <<< "$letters") -ge 20 ]] || { echo "FAIL: parser letters: $letters" >&2; exit 1; }
offered=$(candidates tarvium-setup /)
check "engine switches of the usage text" "" "$(comm -23 <(echo "$switches") <(echo "$offered"))"
check "engine switch letters of the parser" "" \
  "$(comm -23 <(sed 's|^|/|' <<< "$letters") <(echo "$offered"))"
check "engine switches the parser reads" "" "$(cut -c2 <<< "$offered" | sort -u | comm -23 - <(echo "$letters"))"
check "engine switches as Setup.exe" "$offered" "$(candidates Setup.exe /)"
check "engine switches in any case" "$(grep '^/S' <<< "$offered")" "$(candidates Setup.exe /s)"
long=$(candidates Setup.exe --)
check "engine long options" "--help --version" "$(echo $long)"
for option in $long; do
  TARVIUM_MACHINE=$work/engine-machine "$engine" "$option" > /dev/null 2>&1 ||
    check "the engine answers $option" 0 "$?"
done

# Setup information files in any case, and the directories that may hold them.
mkdir -p "$work/media/disk1" && cd "$work/media" || exit 1
touch Setup.inf OTHER.INF notes.txt disk1/Child.Inf
check "setup information files" "$(lines OTHER.INF Setup.inf disk1)" "$(candidates tarvium-setup /S1 '')"
check "setup information files below" "disk1/Child.Inf" "$(candidates tarvium-setup disk1/)"

# setup-lint: the long options of its usage; each option of a check once; a directory after
# --machine; then setup information files.
lint_options=$("$setup_lint" --help | grep -oE -- '--[a-z-]+[a-z]' | sort -u)
check "setup-lint options of its usage" "$(lines $lint_options --help)" "$(candidates setup-lint --)"
check "setup-lint: only files after --json" "$(lines OTHER.INF Setup.inf disk1)" \
  "$(candidates setup-lint --json '')"
check "setup-lint: each option once" "$(lines --fill-sizes --machine)" "$(candidates setup-lint --json --)"
check "setup-lint: a directory after --machine" "disk1" "$(candidates setup-lint --machine '')"

echo "$passed passed, $failed failed"
((failed == 0))
