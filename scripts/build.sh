#!/usr/bin/env bash
# scripts/build.sh DIR [cmake options...]: configures (once) and builds the tree in DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir"
