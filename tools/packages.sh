#!/usr/bin/env bash
# Installs the Debian packages Tintorel needs, only those that are missing.
# Usage: tools/packages.sh [extra packages...]
set -euo pipefail
packages=(g++ cmake make qt6-base-dev libgl-dev libfbclient2 firebird-dev
          firebird3.0-server-core firebird3.0-utils fonts-liberation2 "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
