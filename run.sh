#!/usr/bin/env bash
# Installs what Tintorel needs, builds it, creates the demo database when the
# program folder has none, and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
tools/packages.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target tintorel tintorel-demo
db=build/program/Daten/QELMPREISE.fdb
if [ ! -e "$db" ]; then
  mkdir -p build/program/Daten
  build/program/tintorel-demo "$db"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Tintorel needs a graphical display, and this session has none (DISPLAY is not set)." >&2
  exit 1
fi
exec build/program/tintorel
