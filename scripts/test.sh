#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole suite twice: a plain build and
# one with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

run_suite() {
  local dir=$1
  shift
  echo "== $dir: build"
  scripts/build.sh "$dir" "$@"
  echo "== $dir: test"
  (cd "$dir" && ctest --output-on-failure --timeout 900 -j2)
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMELODECK_SANITIZE=ON -DMELODECK_BENCH=OFF
