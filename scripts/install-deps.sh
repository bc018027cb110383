#!/usr/bin/env bash
# Installs, from Debian's packages, what building and testing helvocfg needs. Does nothing when
# everything is already there, so it is cheap to run before every build.
set -euo pipefail

packages=(
  cmake ninja-build g++ python3
  clang-14 libclang-rt-14-dev clang-format-14
  googletest libgtest-dev libgmock-dev
  libcli11-dev nlohmann-json3-dev pkg-config
  libbenchmark-dev libinih-dev
  pybind11-dev python3-dev python3-pytest graphviz chromium
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y --no-install-recommends "${missing[@]}" || {
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}
