#!/usr/bin/env bash
# Installs what is needed, builds, and starts the main program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/bin/clipsnare-cli adapters "$@"
