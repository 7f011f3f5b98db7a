#!/usr/bin/env bash
# Installs the Debian packages the project needs, when they are missing.
# The one list of packages lives here. Never waits for input.
#   scripts/install-deps.sh          what building and testing need
#   scripts/install-deps.sh bench    also what the benchmarks compare against
#   scripts/install-deps.sh fuzz     also what the fuzzers need
set -euo pipefail

build=(cmake ninja-build g++ make pkg-config libgtest-dev libgmock-dev libsqlite3-dev libssl-dev openssl)
gui=(qt6-base-dev libgl-dev fonts-dejavu-core shared-mime-info)
servers=(python3-pyftpdlib python3-openssl vsftpd curl)
fuzz=(clang libclang-rt-14-dev)
bench=(curl lftp sitecopy time libbenchmark-dev)

wanted=("${build[@]}" "${servers[@]}")
if [ "${TESSARINE_GUI:-ON}" != OFF ]; then wanted+=("${gui[@]}"); fi
for extra in "$@"; do
  case "$extra" in
    bench) wanted+=("${bench[@]}") ;;
    fuzz) wanted+=("${fuzz[@]}") ;;
    *) echo "install-deps: unknown group '$extra' (bench, fuzz)" >&2; exit 2 ;;
  esac
done

missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  as_root=(sudo -n)
else
  echo "install-deps: these Debian packages are missing: ${missing[*]}" >&2
  echo "install-deps: install them as root: apt-get install ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
