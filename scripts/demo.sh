#!/usr/bin/env bash
# The main job: build, synthesise a frame as a device would play it, and
# decode it back from the file.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF

tool="$top/build/bin/sirko-audio"
frame="$top/build/demo-frame.raw"
"$tool" encode 0123456789abcdef0123 -o "$frame" --speed 1.02 --snr 20 --lead 0.7 --tail 0.5
"$tool" decode "$frame"
"$tool" decode --json "$frame"
