#!/usr/bin/env bash
# Regenerates data/templates/: prismcase-probe builds every shipped template
# through the program's own commands, draws its cover pictures and saves it
# with "Save as template", which renders its preview. Run it again whenever
# the project format, the renderer or the pictures change.
# Usage: scripts/make-templates.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target prismcase-probe prismcase_data
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QT_QPA_PLATFORM=offscreen GALLIUM_DRIVER=llvmpipe
"$build/prismcase-probe" make-templates "$out"
for t in "$out"/*.qv7kb; do
  "$build/prismcase-probe" project-info "$t" > /dev/null
done
rm -rf data/templates
mkdir -p data/templates
cp "$out"/*.qv7kb "$out"/*.png data/templates/
ls -l data/templates
