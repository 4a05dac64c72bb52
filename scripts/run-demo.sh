#!/usr/bin/env bash
# Sets up a Debian machine, builds the workstation, builds the demo setup when
# it is missing and starts `nuv` on it.
#
#   ./scripts/run-demo.sh            # demo in ~/nuv-demo
#   NUV_DEMO_DIR=/some/dir ./scripts/run-demo.sh
#   ./scripts/run-demo.sh --rebuild  # build the demo setup again
#
# Extra arguments after the options go to nuv (for example ODBC=..., CHKDB,
# CHANLIST=DEMO-Z).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
demo=${NUV_DEMO_DIR:-$HOME/nuv-demo}

rebuild=0
if [ "${1:-}" = "--rebuild" ]; then
  rebuild=1
  shift
fi

./scripts/install-deps.sh

export CCACHE_BASEDIR=$root
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target nuv nuvdemo nuvcli

if [ "$rebuild" = 1 ] || [ ! -f "$demo/settings/NUV.INI" ] || [ ! -f "$demo/nuv.sqlite" ]; then
  echo "Building the demo setup in $demo"
  build/tools/nuvdemo --out "$demo" --calibration "$root/data/calibration" --array 9
fi
# The map's coastline, country borders and lakes live in the home directory
# of the setup.
for lines in map.pnt borders.pnt lakes.pnt; do
  [ -f "$demo/home/$lines" ] || cp "$root/data/map/$lines" "$demo/home/"
done

# The outside locator of "Запустить программу OLK": the test locator script,
# run in $demo/olk (kept when NUV.INI already names one).
if ! grep -q '^\[OLK\]' "$demo/settings/NUV.INI"; then
  mkdir -p "$demo/olk"
  printf '[OLK]\nDIR=%s\nPROGRAM=%s\n' "$demo/olk" "$root/tests/data/olk/olk_test_locator.sh" \
    >> "$demo/settings/NUV.INI"
fi

export NUV_CONFIG_DIR=$demo/settings
export ODBCINI=$demo/odbc.ini
echo "Starting nuv (settings $NUV_CONFIG_DIR, data sources $ODBCINI)"
# The demo event on screen at once: the channel list "DEMO-3C" is loaded at
# start (a CHANLIST= among the arguments wins; CHANLIST= alone loads none).
exec build/app/nuv CHANLIST=DEMO-3C "$@"
