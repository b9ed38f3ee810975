#!/usr/bin/env python3
# Recognition against the truth of make_exports.sh: runs tavelo-cli --plan --json on every
# exported folder and prints the share of files given the right function, and each file
# left unknown or given a wrong one. Usage: evaluate.py TAVELO_CLI EXPORTS_DIR
import json, os, subprocess, sys, collections
cli, root = sys.argv[1], sys.argv[2]
truth = {}
for t in [f for f in os.listdir(root) if f.startswith("truth-")]:
    truth.update(json.load(open(os.path.join(root, t))))
folders = sorted({os.path.dirname(k) for k in truth})
right = wrong = unknown = general = 0
per = collections.Counter(); per_ok = collections.Counter()
for folder in folders:
    out = subprocess.run([cli, "--plan", "--json", "--settings", os.devnull, os.path.join(root, folder)],
                         capture_output=True, text=True)
    try:
        files = {f["name"]: f for f in json.loads(out.stdout)["files"]}
    except Exception as e:
        print("FAIL", folder, out.stdout[:200], out.stderr[:200]); continue
    for path, fn in truth.items():
        if os.path.dirname(path) != folder: continue
        name = os.path.basename(path)
        got = files.get(name, {}).get("function")
        group = folder.split("/")[0]
        per[group] += 1
        if got == fn:
            right += 1; per_ok[group] += 1
        elif got == "drill" and fn.startswith("drill"):
            general += 1; print("general  %-60s want %-18s got drill (%s)" % (path, fn, files.get(name, {}).get("evidence")))
        elif got is None:
            unknown += 1; print("unknown  %-60s want %-18s  (%s)" % (path, fn, files.get(name, {}).get("evidence")))
        else:
            wrong += 1; print("WRONG    %-60s want %-18s got %s (%s)" % (path, fn, got, files.get(name, {}).get("evidence")))
total = right + wrong + unknown + general
print("right %d, drill of unknown plating %d, unknown %d, wrong %d of %d: %.1f%% right" %
      (right, general, unknown, wrong, total, 100.0 * right / max(1, total)))
for g in sorted(per): print("  %-20s %d/%d" % (g, per_ok[g], per[g]))
