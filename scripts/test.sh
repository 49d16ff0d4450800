#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite. Live-capture
# tests need root (or capture rights, see README).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
