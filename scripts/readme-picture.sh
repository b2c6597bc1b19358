#!/usr/bin/env bash
# Regenerates the README's picture: marker curves of the run command's sample take.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/run.sh >/dev/null  # builds the release preset and writes its sample take
PYTHONPATH=build/release/python /usr/bin/python3 -m kfile.plot build/release/sample.K \
    --channels '*<P-X>' --size 900x450 --out python/doc/sample-take.png
echo "wrote python/doc/sample-take.png"
