#!/usr/bin/env bash
# Builds Tessaro and runs the automatic optimisation on the bundled example: pictures of the
# board before and after, and the optimised design, land in out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTESSARO_TESTS=OFF -DTESSARO_BENCH=OFF >/dev/null
cmake --build build -j2 --target tessaro_cli
mkdir -p out
build/bin/tessaro render examples/demo.json --output out/before.svg
build/bin/tessaro run RunAutoTessaro examples/demo.json --yes --seed 1 \
    --transcript out/transcript.jsonl --output out/demo-optimised.json --svg out/after.svg
# On a terminal the report was shown as it happened; otherwise show it from the transcript.
if [ ! -t 0 ]; then
    grep '"caption":"Results From Net/Pin Optimization"' out/transcript.jsonl |
        sed 's/.*"text":"\([^"]*\)".*/\1/; s/\\r\\r/\n/g'
fi
echo "Before: out/before.svg  After: out/after.svg  Design: out/demo-optimised.json"
