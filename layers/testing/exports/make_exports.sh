#!/usr/bin/env bash
# Exports real board folders with the board tools themselves, for the recognition fixtures:
# every KiCad demo board in four Gerber styles (and two of them again without the X2
# comments, as older KiCad wrote them), and the gEDA pcb examples with gEDA pcb and with
# five pcb-rnd CAM jobs. Writes truth-*.json beside them: the layer each file was plotted
# from. Needs Debian 12's kicad, kicad-demos, pcb and pcb-rnd (about 550 MB installed).
# Usage: make_exports.sh OUT_DIR, then make_fixtures.py OUT_DIR layers/testing/exports
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(mkdir -p "$1" && cd "$1" && pwd)
/usr/bin/python3 "$here/kicad_export.py" "$out"
for v in nox2 protel; do
  rm -rf "$out/kicad-$v-noattr"
  cp -r "$out/kicad-$v" "$out/kicad-$v-noattr"
  find "$out/kicad-$v-noattr" -name '*.gbrjob' -delete
  find "$out/kicad-$v-noattr" -type f | while read -r f; do
    grep -av '#@!' "$f" > "$f.tmp" || true
    mv "$f.tmp" "$f"
  done
done
/usr/bin/python3 - "$out" <<'PY'
import json, sys
out = sys.argv[1]
t = json.load(open(out + "/truth-kicad.json"))
n = {k.replace("kicad-%s/" % s, "kicad-%s-noattr/" % s, 1): v
     for k, v in t.items() for s in ("nox2", "protel") if k.startswith("kicad-%s/" % s)}
json.dump(n, open(out + "/truth-kicad-noattr.json", "w"), indent=1, sort_keys=True)
PY
for b in LED LED2 tut1; do
  src=/usr/share/doc/pcb-common/examples/$b.pcb
  mkdir -p "$out/geda-pcb/$b"
  (cd /tmp && pcb -x gerber --gerberfile "$out/geda-pcb/$b/$b" "$src" >/dev/null 2>&1)
  for job in fixed eagle universal OSH_Park JLC_PCB; do
    mkdir -p "$out/pcb-rnd-$job/$b"
    (cd /tmp && pcb-rnd -x cam "gerber:$job" --outfile "$out/pcb-rnd-$job/$b/$b" "$src" >/dev/null 2>&1)
  done
done
python3 "$here/geda_truth.py" "$out"
