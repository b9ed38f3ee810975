# Plots every KiCad demo board in four Gerber styles (X2 or not, Protel extensions or not),
# with its drill files merged or split by plating, into OUT_DIR/kicad-<style>/<board>/, and
# writes OUT_DIR/truth-kicad.json: the layer each file was plotted from.
# Usage: /usr/bin/python3 kicad_export.py OUT_DIR (KiCad 6's pcbnew module)
import glob, json, os, sys

import pcbnew

out_root = sys.argv[1]
truth = {}


def function_of(layer):
    if layer == pcbnew.F_Cu: return "top copper"
    if layer == pcbnew.B_Cu: return "bottom copper"
    if pcbnew.IsCopperLayer(layer): return "inner copper %d" % (layer - pcbnew.In1_Cu + 1)
    return {pcbnew.F_Mask: "top mask", pcbnew.B_Mask: "bottom mask", pcbnew.F_SilkS: "top silk",
            pcbnew.B_SilkS: "bottom silk", pcbnew.F_Paste: "top paste", pcbnew.B_Paste: "bottom paste",
            pcbnew.Edge_Cuts: "outline"}.get(layer)


STYLES = {"x2": (True, False), "nox2": (False, False), "protel": (False, True), "x2protel": (True, True)}

for pcb in sorted(glob.glob("/usr/share/kicad/demos/*/*.kicad_pcb")):
    board = pcbnew.LoadBoard(pcb)
    name = os.path.splitext(os.path.basename(pcb))[0]
    for style, (x2, protel) in STYLES.items():
        d = os.path.join(out_root, "kicad-" + style, name.replace(" ", "_"))
        os.makedirs(d, exist_ok=True)
        pc = pcbnew.PLOT_CONTROLLER(board)
        po = pc.GetPlotOptions()
        po.SetOutputDirectory(d)
        po.SetUseGerberX2format(x2)
        po.SetIncludeGerberNetlistInfo(x2)
        po.SetUseGerberProtelExtensions(protel)
        po.SetCreateGerberJobFile(x2)
        po.SetPlotFrameRef(False)
        for layer in board.GetEnabledLayers().Seq():
            if not function_of(layer): continue
            pc.SetLayer(layer)
            pc.OpenPlotfile(board.GetLayerName(layer).replace(".", "_"), pcbnew.PLOT_FORMAT_GERBER, "")
            pc.PlotLayer()
            truth[os.path.relpath(pc.GetPlotFileName(), out_root)] = function_of(layer)
            pc.ClosePlot()
        drill = pcbnew.EXCELLON_WRITER(board)
        drill.SetFormat(True)
        merge = style in ("nox2", "x2protel")  # one drill file, or PTH and NPTH apart
        drill.SetOptions(False, False, board.GetDesignSettings().GetAuxOrigin(), merge)
        drill.CreateDrillandMapFilesSet(d, True, False)
        for f in os.listdir(d):
            if f.endswith(".drl"):
                truth[os.path.relpath(os.path.join(d, f), out_root)] = (
                    "drill non-plated" if "-NPTH" in f else "drill plated" if "-PTH" in f else "drill")

json.dump(truth, open(os.path.join(out_root, "truth-kicad.json"), "w"), indent=1, sort_keys=True)
