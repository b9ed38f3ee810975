# The layer each gEDA / pcb-rnd export file holds, from the exporter's naming scheme and,
# for copper groups, from the group's title comment; documentation layers are left out.
import os, re, json, sys
root = sys.argv[1]
truth = {}
names = {
 "topmask": "top mask", "bottommask": "bottom mask", "toppaste": "top paste", "bottompaste": "bottom paste",
 "topsilk": "top silk", "bottomsilk": "bottom silk", "top": "top copper", "bottom": "bottom copper",
 "outline": "outline", "plated-drill": "drill plated", "unplated-drill": "drill non-plated",
 "cmp": "top copper", "sol": "bottom copper", "plc": "top silk", "pls": "bottom silk", "stc": "top mask",
 "sts": "bottom mask", "crc": "top paste", "crs": "bottom paste", "drd": "drill plated", "dru": "drill non-plated",
 "gtl": "top copper", "gbl": "bottom copper", "gto": "top silk", "gbo": "bottom silk", "gts": "top mask",
 "gbs": "bottom mask", "gtp": "top paste", "gbp": "bottom paste", "xln": "drill", "ly2": "inner copper 1",
 "ly3": "inner copper 2", "g2l": "inner copper 1", "g3l": "inner copper 2",
}
for group in sorted(os.listdir(root)):
    if not (group.startswith("geda-") or group.startswith("pcb-rnd-")): continue
    for board in sorted(os.listdir(os.path.join(root, group))):
        d = os.path.join(root, group, board)
        files = sorted(os.listdir(d))
        for f in files:
            rel = os.path.join(group, board, f)
            rest = f[len(board) + 1:]  # after "board."
            stem, ext = os.path.splitext(rest)
            fn = None
            if group == "pcb-rnd-universal":
                u = {"top_copper.gtl": "top copper", "bottom_copper.gbl": "bottom copper", "top_mask.gts": "top mask",
                     "bottom_mask.gbs": "bottom mask", "top_paste.gtp": "top paste", "bottom_paste.gbp": "bottom paste",
                     "top_silk.gto": "top silk", "bottom_silk.gbo": "bottom silk", "Intern.g1": "inner copper 1",
                     "Intern.g2": "inner copper 2", "drl": "drill plated", "outline.gko": "outline"}
                fn = u.get(rest)
                if f == board + "_NPTH.drl": fn = "drill non-plated"
            elif ext in (".gbr", ".cnc"):
                fn = names.get(stem)
                m = re.match(r"group(\d+)$", stem)
                if m:
                    head = open(os.path.join(d, f), "rb").read(400).decode("latin-1")
                    t = re.search(r"Title: [^,]*, (\w+)", head).group(1)
                    fn = {"top_copper": "top copper", "bottom_copper": "bottom copper", "component": "top copper",
                          "solder": "bottom copper"}.get(t)
            else:
                fn = names.get(rest.lower())
            if fn: truth[rel] = fn
json.dump(truth, open(os.path.join(root, "truth-geda.json"), "w"), indent=1, sort_keys=True)
print(len(truth))
