#!/usr/bin/env bash
# The setup service's pipe between the Windows programs under Wine: setup-agent.exe answers a
# Setup.exe /G run of an end-to-end scenario over the system's named pipe, and its log of requests
# and replies holds the scenario's [AgentLog] lines in order (each as part of a line), as the
# Linux run's does.
# Usage: agent_under_wine.sh BUILD_DIR SCENARIO_DIR (runs in a fresh Wine prefix of its own)
set -euo pipefail
build=$1
scenario=$2
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cp -r "$scenario"/. "$work/"
media=$(winepath -w "$work")
wine "$build/tools/setup-agent.exe" --timeout 60 --log "$media\\agent.log" "$media\\agent.txt" \
  > "$work/agent.out" 2>&1 &
agent=$!
for _ in $(seq 100); do grep -q listening "$work/agent.out" 2>/dev/null && break; sleep 0.1; done
status=0
wine "$build/Setup.exe" /G "$media\\Setup.inf" || status=$?
wait "$agent" || fail "setup-agent ended with $?: $(cat "$work/agent.out")"
[ "$status" -eq 0 ] || fail "Setup.exe /G ended with $status"

sed -n '/^\[AgentLog\]/,/^\[/p' "$work/scenario.ini" | sed '1d;/^\[/d' > "$work/expected"
tr -d '\r' < "$work/agent.log" > "$work/log"
line=0
while IFS= read -r expected; do
  found=$(tail -n +$((line + 1)) "$work/log" | grep -n -F -m1 -- "$expected" | cut -d: -f1) ||
    fail "the agent's log lacks, after line $line: $expected"$'\n'"$(cat "$work/log")"
  line=$((line + found))
done < "$work/expected"
echo "setup-agent.exe answered Setup.exe /G over the named pipe as the scenario expects"
