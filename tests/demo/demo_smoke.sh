#!/usr/bin/env bash
# The demo, walked headless as scripts/demo.sh does it: it must end with
# exit code 0, print the section it decoded and the printer's values, and
# leave the screenshots it announced.
#   demo_smoke.sh SOURCE_DIR BIN_DIR
set -uo pipefail
root=$1
bin=$2
shots=$(mktemp -d)
out=$(mktemp)
trap 'rm -rf "$shots" "$out"' EXIT
cd "$bin"
VORN_HEADLESS=1 "$root/scripts/capture-shots.sh" "$shots" "$root/cmake/wine-run.sh" vorn_demo.exe >"$out" 2>&1
status=$?
cat "$out"
fail() { echo "demo smoke test: $*"; exit 1; }
[ "$status" -eq 0 ] || fail "the demo ended with exit code $status"
for expected in \
  'Delivery offers 8 modes.' \
  'jobName            "Quarterly report"' \
  'userNames\[0\]       "Ada Lovelace"' \
  'pin                "4711"' \
  'emailAddresses\[0\]  "ada@example.com"' \
  'deliveryMode       2 "Hold job until you enter PIN"' \
  'emailNotify        2 "Job completion and errors during job printing"' \
  'ticketPath         ".*\\New Ticket 1.jdf"' \
  'DriverSettings     0x00016221: interposer, output bin Upper, booklet finisher, punch 2 and 3 holes, high-capacity feeder' \
  'SelectedTicket     ".*\\Booklet A5.jdf"' \
  'Tickets after New: .*"New Ticket 1".*; selected "New Ticket 1"' \
  'Tickets after Delete: "None" "Annual report" "Booklet A5" "New Ticket 1"; selected "None"' \
  'JTEditorExitCode   0' \
  'Printing preferences closed with OK.'; do
  grep -Eq -- "$expected" "$out" || fail "missing from the output: $expected"
done
if grep -q 'Unexpected message' "$out"; then fail "a message box was left to answer"; fi
for shot in destination tickets editor tickets-new delete-confirm tickets-final about; do
  [ -s "$shots/$shot.png" ] || fail "no screenshot $shot.png"
done
echo "demo smoke test: passed"
