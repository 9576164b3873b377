#!/usr/bin/env bash
# Installs what Tintorel needs, builds everything and runs every test through
# CTest; CTest's summary is the last thing printed.
set -euo pipefail
cd "$(dirname "$0")"
tools/packages.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
cd build
exec ctest --output-on-failure
