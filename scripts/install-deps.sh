#!/usr/bin/env bash
# Installs the Debian packages the workstation needs to build, test and run.
# Safe to run again: packages already present are not touched.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache clang-format
  qt6-base-dev qt6-svg-dev libgl-dev
  unixodbc unixodbc-dev libsqliteodbc odbc-postgresql sqlite3
  libfftw3-dev nlohmann-json3-dev libmseed-dev libxml2-dev libtinyxml2-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev python3-scipy
  postgresql
  clang-14 libclang-rt-14-dev
  qt6-translations-l10n locales
  xvfb xauth
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Russian locale, for the tests that check numbers are read and written
# the same whatever the user's locale is.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
