#!/bin/sh
# tools/preview as a user runs it: a scenario that cannot be read or played names its line, exits non-zero and
# writes nothing, wherever the fault stands; a failed expect stops at its line and keeps the snapshots taken
# before it; a good one writes one picture per gauge and the contact sheet.
# usage: preview_command_test.sh TOOLS/PREVIEW WORK-FOLDER
set -u
preview=$1
work=$2
passed=0
failed=0
check() {
    if eval "$2"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}

# No Wine on this machine: skipped (CTest reads 77 so), as every Wine test.
"$(dirname "$0")/../../tools/runs-32bit" || exit 77

rm -rf "$work"
mkdir -p "$work"
cat >"$work/bad.txt" <<'SCENARIO'
# a click without its y
set airspeed 95
click AFCP 100
SCENARIO
"$preview" korst "$work/bad.txt" "$work/out" 2>"$work/stderr"
check "a malformed scenario fails" "[ $? -ne 0 ]"
check "the message names file, line and the form expected" \
    "grep -qxF \"preview: $work/bad.txt:3: expected 'click GAUGE X Y'\" '$work/stderr'"
check "nothing is written" "[ ! -e '$work/out' ]"

cat >"$work/late.txt" <<'SCENARIO'
update 2
snapshot early
command NO_SUCH_COMMAND
SCENARIO
"$preview" brevane "$work/late.txt" "$work/out" 2>"$work/stderr"
check "a step that cannot be played fails" "[ $? -ne 0 ]"
check "its message names the line" "grep -qF 'late.txt:3: unknown command' '$work/stderr'"
check "the snapshot before it is not written either" "[ ! -e '$work/out' ]"

cat >"$work/expect.txt" <<'SCENARIO'
update 2
snapshot before
expect engaged ALT
snapshot after
SCENARIO
"$preview" korst "$work/expect.txt" "$work/out" 2>"$work/stderr"
check "a failed expect fails" "[ $? -ne 0 ]"
check "its message names the line and what was found" \
    "grep -qF 'expect.txt:3: expected engaged ALT, found engaged' '$work/stderr'"
check "the snapshot before it is written" "[ -s '$work/out/before-state.json' ] && [ -s '$work/out/before-AFCP.png' ]"
check "nothing after it" "[ ! -e '$work/out/after-state.json' ]"
rm -rf "$work/out"

cat >"$work/good.txt" <<'SCENARIO'
update 2
snapshot one
SCENARIO
(cd "$work" && "$preview" korst good.txt out/deeper >stdout 2>&1)
check "a good scenario succeeds" "[ $? -eq 0 ]"
check "eleven gauges, the sheet and the state" "[ \$(ls '$work/out/deeper' | wc -l) -eq 13 ]"
check "the state beside the pictures" "grep -q '\"words\":{\"engaged\":' '$work/out/deeper/one-state.json'"
check "named by snapshot and gauge" "[ -s '$work/out/deeper/one-ALT-VS-Select.png' ] && [ -s '$work/out/deeper/one-korstpanel.png' ]"
check "PNG files" "head -c 8 '$work/out/deeper/one-AFCP.png' | od -An -c | grep -q 'P   N   G'"

echo "preview command: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
