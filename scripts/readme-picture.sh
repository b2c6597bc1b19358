#!/usr/bin/env bash
# Regenerates the README's pictures from the run command's sample take: marker curves, and an
# animated 3D view kept small (one picture in eight records, 400x320 pixels).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/run.sh >/dev/null  # builds the release preset, the Python module included, and the sample
plot() {
    PYTHONPATH=build/release/python /usr/bin/python3 -m kfile.plot build/release/sample.K "$@"
}
plot --channels '*<P-X>' --size 900x450 --out python/doc/sample-take.png
plot --animate --stride 8 --size 400x320 --out python/doc/sample-take.gif
echo "wrote python/doc/sample-take.png and python/doc/sample-take.gif"
