#!/bin/sh
# Plays the external F-K program for the tests:
#   fake_fk.sh WFDISC RESULTS SHORTEST-INTERVAL
# It checks that every wfdisc line is 283 characters and that data.w holds
# exactly the samples the lines announce, then writes the slowness and the
# azimuth. FAKE_FK_MODE chooses a misbehaviour: fail (exit 3), hang (never
# ends), garbage (results that are not numbers), silent (no results file).
set -u
wfdisc=$1
results=$2
shortest=$3
dir=$(dirname "$wfdisc")
case "${FAKE_FK_MODE:-ok}" in
  fail) exit 3 ;;
  hang) while :; do sleep 1; done ;;
  garbage) echo "no answer" > "$results"; exit 0 ;;
  silent) exit 0 ;;
esac
# Every line 283 characters plus the line feed.
bad=$(awk 'length($0) != 283' "$wfdisc" | wc -l)
[ "$bad" -eq 0 ] || exit 4
# nsamp is the eighth field; 4 bytes per sample in data.w.
want=$(awk '{ n += $8 } END { print 4 * n }' "$wfdisc")
have=$(wc -c < "$dir/data.w")
[ "$want" -eq "$have" ] || exit 5
# The shortest interval must be a positive number of seconds.
awk -v s="$shortest" 'BEGIN { exit !(s > 0) }' || exit 6
printf '%s %s\n' "${FAKE_FK_SLOWNESS:-0.0823}" "${FAKE_FK_AZIMUTH:-45.5}" > "$results"
