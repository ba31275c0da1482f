#!/usr/bin/env bash
# Sets up, builds and starts Lomvato.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
scripts/build.sh build
exec build/src/lomvato "$@"
