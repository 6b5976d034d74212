#!/usr/bin/env bash
# Builds the viewer (release) and opens it on the shipped sample data.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/install-deps.sh
cmake --preset release -DOCUVIS_TESTS=OFF -DOCUVIS_BENCH=OFF -DOCUVIS_WERROR=OFF > /dev/null
cmake --build build/release --target ocuvis ocuvis-render
exec build/release/src/app/ocuvis "$root/data/Ocuvis.3d"
