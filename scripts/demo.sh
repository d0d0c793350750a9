#!/usr/bin/env bash
# Installs what is missing, builds Melodeck and starts it with the demo song.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec build/shell/app/melodeck data/KaraokeFiles/Oh_Susanna.kar
