#!/usr/bin/env bash
# Installs what Tintorel needs, builds everything and runs every test through
# CTest; CTest's summary is the last thing printed.
set -euo pipefail
cd "$(dirname "$0")"
# firebird3.0-server: the shared-database tests run this server binary on a
# loopback port and a configuration of their own; a system server that the
# package may start (on 3050) is neither needed nor touched.
# desktop-file-utils: the package test validates the menu entry with
# desktop-file-validate.
tools/packages.sh firebird3.0-server desktop-file-utils
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
cd build
exec ctest --output-on-failure
