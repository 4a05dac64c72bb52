#!/usr/bin/env bash
# Installs the Debian packages the workstation needs to build, test and run.
# Safe to run again: packages already present are not touched.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache clang-format
  qt6-base-dev libgl-dev
  unixodbc unixodbc-dev libsqliteodbc odbc-postgresql sqlite3
  libfftw3-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev python3-scipy
  postgresql
  clang-14 libclang-rt-14-dev
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
