#!/bin/sh
# A stand-in for an outside locator, used by the tests and the demo.
#   olk_test_locator.sh [--fail|--hang|--garbage|--flood] -O NUMBER -r CONF
# It reads CONF and the arrival and origin files that NUV wrote for NUMBER in
# the current directory, takes the station columns from the character
# positions that CONF gives (a column is the word that starts there or after
# the blanks there), and prints a short report: the phases read and
# a rough epicentre (the mean of the stations, the origin time one minute
# before the first arrival). It also writes the log file CONF names.
# --fail exits with 3 after a message, --hang never ends (its process id in
# hang.pid), --garbage prints
# binary bytes, --flood prints 200 kB.
mode=
number=
conf=
while [ $# -gt 0 ]; do
  case "$1" in
    --fail|--hang|--garbage|--flood) mode=$1 ;;
    -O) shift; number=$1 ;;
    -r) shift; conf=$1 ;;
  esac
  shift
done
case "$mode" in
  --fail) echo "OLK: cannot read travel-time tables"; exit 3 ;;
  --hang) echo $$ > hang.pid; echo "OLK: started"; while :; do sleep 1; done ;;
  --garbage) printf 'OLK\000\001\002\377\376 binary\n'; exit 0 ;;
  --flood) awk 'BEGIN { for (i = 0; i < 4000; i++) printf "line %06d of a long printout........\n", i }'; exit 0 ;;
esac
[ -r "$conf" ] || { echo "OLK: no configuration $conf"; exit 2; }
n=$(printf '%08d' "$number" 2>/dev/null) || n=00000000
sds=$n.sds
sdn=$n.sdn
[ -r "$sds" ] && [ -r "$sdn" ] || { echo "OLK: no input files $sds $sdn"; exit 2; }
# The 0-based column of an attribute of the configuration.
column() { sed -n "s/.* $1 = \"\([0-9]*\)\".*/\1/p" "$conf"; }
awk -v sta="$(column stn_code)" -v tim="$(column time_arrvl)" -v ph="$(column Phase)" \
    -v lat="$(column stn_lat)" -v lon="$(column stn_long)" -v logfile="$(sed -n 's/.*print_file = "\([^"]*\)".*/\1/p' "$conf")" '
  # The word that begins at or after 0-based column `at` (blanks skipped),
  # at most `width` characters long.
  function field(line, at, width) { s = substr(line, at + 1); sub(/^ +/, "", s); sub(/ .*/, "", s); return substr(s, 1, width) }
  {
    n++
    t = field($0, tim, 17) + 0
    if (n == 1 || t < first) first = t
    sumlat += field($0, lat, 14); sumlon += field($0, lon, 9)
    line[n] = sprintf("%-6s %-8s %17.5f", field($0, sta, 6), field($0, ph, 8), t)
  }
  END {
    if (n == 0) { print "OLK: no defining phases"; exit 4 }
    printf "OLK test locator: %d phases\n", n
    for (i = 1; i <= n; i++) print line[i]
    printf "Epicentre %.3f %.3f depth 10.0 origin time %.3f\n", sumlat / n, sumlon / n, first - 60
    if (logfile != "") printf "%d phases, epicentre %.3f %.3f\n", n, sumlat / n, sumlon / n > logfile
  }' "$sds"
