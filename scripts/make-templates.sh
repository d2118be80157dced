#!/usr/bin/env bash
# Makes the shipped templates: prismcase-probe builds each one through the
# program's own commands, draws its cover pictures and saves it with "Save as
# template", which renders its preview; each is then read back as a check.
# The build runs this for templates/ beside the program; run it by hand to
# look at templates before a build, whenever the scenes, the project format
# or the renderer change.
# Usage: scripts/make-templates.sh PROBE OUT_DIR [NAME...]
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 PROBE OUT_DIR [NAME...]" >&2; exit 2; }
probe=$1 dest=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen GALLIUM_DRIVER=llvmpipe
"$probe" make-templates "$work" "$@"
for t in "$work"/*.qv7kb; do
  "$probe" project-info "$t" > /dev/null
done
mkdir -p "$dest"
for f in "$work"/*; do
  mv -f "$f" "$dest/"
done
