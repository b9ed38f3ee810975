// File heads as board tools write them, for the tests' fixture folders: Gerber with X2
// attributes, with attribute comments, without either, and Excellon with and without
// plating information. Each is a short but complete file.
#pragma once

#include <string>

namespace layers::testing {

// KiCad 6: X2 attributes as %TF commands.
inline std::string KiCadX2(const std::string& fileFunction) {
  return "%TF.GenerationSoftware,KiCad,Pcbnew,6.0.11*%\n"
         "%TF.CreationDate,2023-05-01T10:00:00+08:00*%\n"
         "%TF.ProjectId,board,626f6172-642e-6b69-6361-645f70636200,rev?*%\n"
         "%TF.SameCoordinates,Original*%\n"
         "%TF.FileFunction," + fileFunction + "*%\n"
         "%TF.FilePolarity,Positive*%\n"
         "%FSLAX46Y46*%\n"
         "G04 Gerber Fmt 4.6, Leading zero omitted, Abs format (unit mm)*\n"
         "G04 Created by KiCad (PCBNEW 6.0.11) date 2023-05-01 10:00:00*\n"
         "%MOMM*%\n%LPD*%\nG01*\nG04 APERTURE LIST*\n%ADD10C,0.250000*%\nG04 APERTURE END LIST*\n"
         "D10*\nX100000000Y-50000000D02*\nX120000000Y-50000000D01*\nM02*\n";
}

// KiCad 5 with extended attributes off: the same attributes as G04 #@! comments.
inline std::string KiCadComments(const std::string& fileFunction) {
  return "G04 #@! TF.GenerationSoftware,KiCad,Pcbnew,5.1.9*\n"
         "G04 #@! TF.CreationDate,2021-01-01T00:00:00+01:00*\n"
         "G04 #@! TF.FileFunction," + fileFunction + "*\n"
         "G04 #@! TF.FilePolarity,Positive*\n"
         "%FSLAX46Y46*%\nG04 Gerber Fmt 4.6, Leading zero omitted, Abs format (unit mm)*\n"
         "G04 Created by KiCad (PCBNEW 5.1.9) date 2021-01-01 00:00:00*\n%MOMM*%\n%LPD*%\n"
         "G04 APERTURE LIST*\n%ADD10C,0.150000*%\nG04 APERTURE END LIST*\nD10*\nX0Y0D02*\nX1000000Y0D01*\nM02*\n";
}

// RS-274X without attributes, as Altium, old Eagle, Protel and many others write it.
inline std::string PlainGerber() {
  return "G04*\nG04 Layer_Color=255*\n%FSLAX25Y25*%\n%MOIN*%\nG70*\nG01*\nG75*\n"
         "%ADD10C,0.01000*%\nD10*\nX0Y0D02*\nX100000Y0D01*\nM02*\n";
}

// EasyEDA: the layer name in the first comment.
inline std::string EasyEda(const std::string& layer) {
  return "G04 Layer: " + layer + "*\nG04 EasyEDA v6.5.22, 2023-03-06 15:01:23*\n"
         "G04 6f7f2b7a3d6b4b1e8f2b2c1a3d6e4f5a,5a6b1c2d3e4f*\nG04 Gerber Generator version 0.2*\n"
         "G04 Scale: 100 percent, Rotated: No, Reflected: No *\nG04 Dimensions in millimeters *\n"
         "G04 leading zeros omitted , absolute positions ,4 integer and 5 decimal *\n"
         "%FSLAX45Y45*%\n%MOMM*%\n%ADD10C,0.2540*%\nD10*\nX0Y0D02*\nM02*\n";
}

// gEDA pcb: the title names the layer group the file holds.
inline std::string GEda(const std::string& group) {
  return "G04 start of page 2 for group 0 idx 0 *\nG04 Title: (unknown), " + group + " *\n"
         "G04 Creator: pcb 4.2.0 *\nG04 Format: Gerber/RS-274X *\nG04 PCB-Dimensions (mil): 6000.00 5000.00 *\n"
         "%MOIN*%\n%FSLAX25Y25*%\n%LNTOP*%\n%ADD11C,0.0100*%\n%LPD*%\nD11*\nX0Y0D02*\nM02*\n";
}

// Fritzing.
inline std::string Fritzing() {
  return "G04 MADE WITH FRITZING*\nG04 WWW.FRITZING.ORG*\nG04 DOUBLE SIDED*\nG04 HOLES PLATED*\n"
         "G04 CONTOUR ON CENTER OF CONTOUR VECTOR*\n%ASAXBY*%\n%FSLAX23Y23*%\n%MOIN*%\n%OFA0B0*%\n"
         "%SFA1.0B1.0*%\n%ADD10C,0.075000*%\nD10*\nX0Y0D02*\nM02*\n";
}

// Cadence Allegro: one "G04 Layer:" comment per record on the film.
inline std::string Allegro(const std::string& layerLines) {
  return "G04 File Origin:\tCadence Allegro 17.2-S051*\nG04 Origin Date:\tTue Mar 10 10:00:00 2020*\n" +
         layerLines + "%FSLAX25Y25*%\n%MOIN*%\n%ADD10C,0.0050*%\nD10*\nX0Y0D02*\nM02*\n";
}

// KiCad 6 Excellon with its X2 attribute comment.
inline std::string KiCadDrill(const std::string& fileFunction) {
  return "M48\n; DRILL file {KiCad 6.0.11} date 2023-05-01 10:00:00\n"
         "; FORMAT={-:-/ absolute / metric / decimal}\n; #@! TF.CreationDate,2023-05-01T10:00:00+08:00\n"
         "; #@! TF.GenerationSoftware,Kicad,Pcbnew,6.0.11\n; #@! TF.FileFunction," + fileFunction + "\n"
         "FMAT,2\nMETRIC\nT1C0.800\n%\nG90\nG05\nT1\nX125.0Y-80.0\nT0\nM30\n";
}

// Altium Excellon; typeLines holds its ;TYPE= comments (or nothing).
inline std::string AltiumDrill(const std::string& typeLines) {
  return "M48\n;Layer_Color=9474304\n;FILE_FORMAT=2:5\nINCH,LZ\n" + typeLines +
         "T1F00S00C0.03150\n%\nT01\nX011811Y017716\nM30\n";
}

// An Altium copper layer without X2 attributes: its place in the layer stack (1 the top) in
// a header comment.
inline std::string AltiumCopper(int physicalOrder) {
  return "G04*\nG04 Layer_Physical_Order=" + std::to_string(physicalOrder) + "*\nG04 Layer_Color=255*\n"
         "%FSLAX25Y25*%\n%MOIN*%\nG70*\nG01*\nG75*\n%ADD10C,0.01000*%\nD10*\nX0Y0D02*\nX100000Y0D01*\nM02*\n";
}

// Excellon without any plating word, as Eagle, gEDA and many others write it.
inline std::string PlainDrill() { return "%\nM48\nM72\nT01C0.0236\nT02C0.0320\n%\nT01\nX1600Y1000\nT02\nX2000Y1000\nM30\n"; }

}  // namespace layers::testing
