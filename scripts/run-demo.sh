#!/usr/bin/env bash
# Builds the plug-in and the offline host, then renders the built-in demo through the plug-in.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGRINDLE_TESTS=OFF > /dev/null
cmake --build build -j"$(nproc)"
./build/tools/g2host render --plugin build/Grindle2/Grindle2.so --out build/demo-out.wav "$@"
echo "Rendered build/demo-out.wav"
