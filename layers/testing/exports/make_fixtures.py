#!/usr/bin/env python3
"""Writes one fixture per exported board folder: the head (40 lines) and tail (3 lines) of
every file, which is all that recognition reads of files this small, with the function
each file should be given. The exports come from real board tools run on their own
example boards (Debian 12 packages kicad + kicad-demos 6.0.11, pcb 4.2.2, pcb-rnd 3.0.6);
made by make_exports.sh. Usage: make_fixtures.py EXPORTS_DIR OUT_DIR
"""
import json, os, sys

# Folder -> what the fixture's heading says about the export.
FOLDERS = {
    "kicad-x2/video": "KiCad 6.0.11, demo video: X2 attributes, Gerber job file, PTH/NPTH drill files",
    "kicad-nox2/pic_programmer": "KiCad 6.0.11, demo pic_programmer: X2 as G04 #@! comments, one drill file",
    "kicad-protel-noattr/video": "KiCad 6.0.11, demo video: Protel extensions, the G04 #@! comments removed "
                                 "(as older KiCad wrote them); user-named copper layers",
    "kicad-nox2-noattr/ecc83-pp": "KiCad 6.0.11, demo ecc83-pp: .gbr names, the G04 #@! comments removed",
    "geda-pcb/LED2": "gEDA pcb 4.2.2, example LED2: pcb -x gerber",
    "pcb-rnd-fixed/LED": "pcb-rnd 3.0.6, gEDA example LED: cam job gerber:fixed",
    "pcb-rnd-eagle/LED": "pcb-rnd 3.0.6, gEDA example LED: cam job gerber:eagle",
    "pcb-rnd-universal/LED": "pcb-rnd 3.0.6, gEDA example LED: cam job gerber:universal",
    "pcb-rnd-OSH_Park/LED": "pcb-rnd 3.0.6, gEDA example LED: cam job gerber:OSH_Park",
}

# Files whose layer the export knows but nothing in the files tells fully: a user's own
# layer name ("unknown"), an inner layer whose number no convention gives ("inner copper
# ?": unknown, but certainly inner copper). Recognition must never guess for them.
NOT_TOLD = {
    "kicad-protel-noattr/video/video-GND_layer.g2": "inner copper ?",
    "kicad-protel-noattr/video/video-VCC_layer.g3": "inner copper ?",
    "kicad-nox2-noattr/ecc83-pp/ecc83-pp-top_cu.gbr": "unknown",
    "kicad-nox2-noattr/ecc83-pp/ecc83-pp-bottom_cu.gbr": "unknown",
    "pcb-rnd-eagle/LED/LED.ly2": "inner copper ?",
    "pcb-rnd-eagle/LED/LED.ly3": "inner copper ?",
    "pcb-rnd-fixed/LED/LED.group1.gbr": "inner copper ?",
    "pcb-rnd-fixed/LED/LED.group2.gbr": "inner copper ?",
}

def main():
    exports, out = sys.argv[1], sys.argv[2]
    truth = {}
    for t in os.listdir(exports):
        if t.startswith("truth-"):
            truth.update(json.load(open(os.path.join(exports, t))))
    for folder, heading in FOLDERS.items():
        d = os.path.join(exports, folder)
        lines_out = ["# " + heading, "# Made by make_fixtures.py from the export " + folder + "."]
        for name in sorted(os.listdir(d)):
            rel = folder + "/" + name
            expected = NOT_TOLD.get(rel) or truth.get(rel, "unknown")
            lines = open(os.path.join(d, name), "rb").read().decode("latin-1").splitlines()
            kept = lines if len(lines) <= 43 else lines[:40] + lines[-3:]
            lines_out.append("=== %s | %s" % (name, expected))
            lines_out.extend(kept)
        target = os.path.join(out, folder.replace("/", "-") + ".txt")
        open(target, "w", encoding="latin-1", newline="\n").write("\n".join(lines_out) + "\n")

main()
