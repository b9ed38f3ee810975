// The focus of this file is what the bytes of one file say: its kind, the X2 file function
// values, and the findings of attributes, attribute comments, header layer names and
// Excellon plating comments.
#include "layers/ContentRecogniser.h"

#include <gtest/gtest.h>

#include <string>

#include "layers/X2FileFunction.h"

using namespace std::string_literals;

namespace layers {
namespace {

std::string Describe(const MaybeFinding& finding) {
  if (!finding) return "none";
  return FunctionName(finding->function) + " | " + finding->evidence;
}

TEST(DetectKind, TellsGerberExcellonAndOtherApart) {
  struct Case {
    const char* label;
    std::string head;
    std::string tail;
    FileKind kind;
  };
  const Case cases[] = {
      {"X2 Gerber", "%TF.FileFunction,Copper,L1,Top*%\n%FSLAX46Y46*%\n%MOMM*%\n", "", FileKind::Gerber},
      {"Altium, comment first", "G04*\nG04 Layer_Color=255*\n%FSLAX25Y25*%\n%MOIN*%\n", "", FileKind::Gerber},
      {"one-line Gerber", "G04 x*%FSLAX26Y26*%%MOMM*%D10*M02*", "", FileKind::Gerber},
      {"Gerber with a byte-order mark", "\xEF\xBB\xBF%MOIN*%\n", "", FileKind::Gerber},
      {"Excellon", "M48\nMETRIC,TZ\nT1C0.800\n%\nT1\nX1000Y1000\nM30\n", "", FileKind::Excellon},
      {"Excellon after comments", "; DRILL file {KiCad 6.0.11}\n\nM48\nINCH\n", "", FileKind::Excellon},
      {"Eagle Excellon opened by %", "%\nM48\nM72\nT01C0.0236\n%\n", "", FileKind::Excellon},
      {"headerless Excellon, end in the tail", "T01C0.035\nX012000Y010000\n", "X1Y1\nM30\n", FileKind::Excellon},
      {"tools and holes without an end", "T01C0.035\nX012000Y010000\n", "", FileKind::Other},
      {"text mentioning G04", "Notes: the G04 comments list layers.\n", "", FileKind::Other},
      {"%FS inside a word", "see ab%FSLAX\n", "", FileKind::Other},
      {"job file", "{\"Header\": {}, \"FilesAttributes\": []}", "", FileKind::Other},
      {"binary", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s, "", FileKind::Other},
      {"empty", "", "", FileKind::Other},
  };
  for (const Case& c : cases) EXPECT_EQ(DetectKind(c.head, c.tail), c.kind) << c.label;
}

TEST(FunctionFromX2, ReadsEveryFileFunctionTheVocabularyNames) {
  struct Case {
    const char* value;
    const char* function;  // "-" for a value that cannot be read
  };
  const Case cases[] = {
      {"Copper,L1,Top", "top copper"},
      {"Copper,L1,Top,Signal", "top copper"},
      {"Copper,L4,Bot,Plane", "bottom copper"},
      {"Copper,L2,Inr,Plane", "inner copper 1"},
      {"Copper,L5,Inr", "inner copper 4"},
      {"copper,l3,inr", "inner copper 2"},
      {"Soldermask,Top", "top mask"},
      {"Soldermask,Bot", "bottom mask"},
      {"Legend,Top", "top silk"},
      {"Legend,Bot", "bottom silk"},
      {"Paste,Top", "top paste"},
      {"Paste,Bot", "bottom paste"},
      {"Profile,NP", "outline"},
      {"Profile,P", "outline"},
      {"Plated,1,4,PTH", "drill plated"},
      {"Plated,1,2,PTH,Drill", "drill plated"},
      {"NonPlated,1,2,NPTH,Drill", "drill non-plated"},
      {"NonPlated,1,2,NPTH,Rout", "drill non-plated"},
      {"MixedPlating,1,2", "drill"},
      {"Pads,Top", "top pad master"},
      {"Pads,Bot", "bottom pad master"},
      {"Other,Mechanical 1", "mechanical 1"},
      {"Other,Mechanical_13", "mechanical 13"},
      // Well-formed functions outside the vocabulary decide as unknown.
      {"Drillmap", "unknown"},
      {"AssemblyDrawing,Top", "unknown"},
      {"Glue,Top", "unknown"},
      {"Other,User", "unknown"},
      {"Other,Comment", "unknown"},
      // Values that cannot be read decide nothing.
      {"Copper,L1", "-"},
      {"Copper,L1,Middle", "-"},
      {"Copper,L1,Inr", "-"},  // the first layer is never inner
      {"Copper,Lx,Top", "-"},
      {"Soldermask", "-"},
      {"Legend,Left", "-"},
      {"Frobnicate,Top", "-"},
      {"", "-"},
  };
  for (const Case& c : cases) {
    std::optional<LayerFunction> function = FunctionFromX2(c.value);
    EXPECT_EQ(function ? FunctionName(*function) : "-", c.function) << c.value;
  }
}

TEST(ReadContentFacts, FindsEachSourceOfEvidenceWithItsQuote) {
  const std::string kicad6 =
      "%TF.GenerationSoftware,KiCad,Pcbnew,6.0.11*%\n%TF.FileFunction,Copper,L1,Top*%\n"
      "%TF.FilePolarity,Positive*%\n%FSLAX46Y46*%\nG04 Gerber Fmt 4.6*\n%MOMM*%\n";
  EXPECT_EQ(Describe(ReadContentFacts(kicad6, "").x2Attribute),
            "top copper | X2 attribute %TF.FileFunction,Copper,L1,Top*%");

  const std::string kicad5 =
      "G04 #@! TF.GenerationSoftware,KiCad,Pcbnew,5.1.9*\nG04 #@! TF.FileFunction,Soldermask,Bot*\n"
      "G04 #@! TF.FilePolarity,Negative*\n%FSLAX46Y46*%\n%MOMM*%\n";
  ContentFacts facts = ReadContentFacts(kicad5, "");
  EXPECT_EQ(Describe(facts.x2Attribute), "none");
  EXPECT_EQ(Describe(facts.x2Comment), "bottom mask | X2 attribute as comment G04 #@! TF.FileFunction,Soldermask,Bot*");

  const std::string drill =
      "M48\n; DRILL file {KiCad 6.0.11} date 2023-05-01\n; #@! TF.FileFunction,NonPlated,1,2,NPTH\n"
      "FMAT,2\nMETRIC\nT1C3.200\n%\nG90\nT1\nX125.0Y-80.0\nM30\n";
  EXPECT_EQ(Describe(ReadContentFacts(drill, "").x2Comment),
            "drill non-plated | X2 attribute as comment ; #@! TF.FileFunction,NonPlated,1,2,NPTH");

  const std::string easyeda =
      "G04 Layer: BottomSilkscreenLayer*\nG04 EasyEDA v6.5.22, 2023-03-06 15:01:23*\n"
      "G04 Gerber Generator version 0.2*\n%FSLAX45Y45*%\n%MOMM*%\n";
  EXPECT_EQ(Describe(ReadContentFacts(easyeda, "").headerLayerName),
            "bottom silk | header comment G04 Layer: BottomSilkscreenLayer*");
}

TEST(ReadContentFacts, AnExcellonFileBelievesOnlyDrillFunctions) {
  const std::string drill = "M48\n; #@! TF.FileFunction,Copper,L1,Top\nMETRIC\nT1C0.8\n%\nM30\n";
  EXPECT_EQ(Describe(ReadContentFacts(drill, "").x2Comment), "none");
}

TEST(ReadContentFacts, AllegroFilmsDecideOnlyWhenTheirRecordsAgree) {
  const std::string origin = "G04 File Origin:\tCadence Allegro 17.2-S051*\nG04 Origin Date:\tTue Mar 10 2020*\n";
  const std::string format = "%FSLAX25Y25*%\n%MOIN*%\n";
  struct Case {
    const char* label;
    std::string layers;
    const char* expected;
  };
  const Case cases[] = {
      {"mask film with the outline",
       "G04 Layer:  BOARD GEOMETRY/OUTLINE*\nG04 Layer:  PIN/SOLDERMASK_TOP*\nG04 Layer:  PACKAGE GEOMETRY/SOLDERMASK_TOP*\n",
       "top mask | header comment G04 Layer:  PIN/SOLDERMASK_TOP*"},
      {"copper film", "G04 Layer:  ETCH/BOTTOM*\nG04 Layer:  PIN/BOTTOM*\nG04 Layer:  VIA CLASS/BOTTOM*\n",
       "bottom copper | header comment G04 Layer:  ETCH/BOTTOM*"},
      {"outline alone", "G04 Layer:  BOARD GEOMETRY/OUTLINE*\nG04 Layer:  DRAWING FORMAT/TITLE_DATA*\n",
       "outline | header comment G04 Layer:  BOARD GEOMETRY/OUTLINE*"},
      {"silk and mask in one film", "G04 Layer:  REF DES/SILKSCREEN_TOP*\nG04 Layer:  PIN/SOLDERMASK_TOP*\n", "none"},
      {"inner etch: position unknown", "G04 Layer:  ETCH/GND*\nG04 Layer:  BOARD GEOMETRY/OUTLINE*\n", "none"},
      {"drill drawing", "G04 Layer:  MANUFACTURING/NCDRILL_FIGURE*\nG04 Layer:  ETCH/TOP*\n", "none"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Describe(ReadContentFacts(origin + c.layers + format, "").headerLayerName), c.expected) << c.label;
  }
}

TEST(ReadContentFacts, ExcellonPlatingComments) {
  const std::string start = "M48\n;Layer_Color=9474304\n;FILE_FORMAT=2:5\nINCH,LZ\n";
  struct Case {
    std::string comments;
    const char* expected;
  };
  const Case cases[] = {
      {";TYPE=PLATED\nT1F00S00C0.03150\n", "drill plated | Excellon comment ;TYPE=PLATED"},
      {";TYPE=NON_PLATED\nT1F00S00C0.12500\n", "drill non-plated | Excellon comment ;TYPE=NON_PLATED"},
      {"; NON-PLATED\nT1C0.125\n", "drill non-plated | Excellon comment ; NON-PLATED"},
      {"; PLATED\nT1C0.03\n; NON_PLATED\nT2C0.125\n",
       "drill | Excellon comments ; PLATED and ; NON_PLATED"},
      {"; NON-PLATED HOLES START AT T1\n; THROUGH (PLATED) HOLES START AT T2\nT1C0.125\n", "none"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Describe(ReadContentFacts(start + c.comments + "%\nT01\nX011811Y017716\nM30\n", "").platingComment),
              c.expected)
        << c.comments;
  }
}

TEST(ReadContentFacts, QuotesOfBadBytesAreBoundedAndPrintable) {
  const std::string value = "Other,\x01\xff" + std::string(500, 'x');
  const std::string head = "%TF.FileFunction," + value + "*%\n%FSLAX46Y46*%\n";
  MaybeFinding finding = ReadContentFacts(head, "").x2Attribute;
  ASSERT_TRUE(finding);
  EXPECT_FALSE(finding->function.IsKnown());
  EXPECT_LT(finding->evidence.size(), 120u);
  EXPECT_EQ(finding->evidence.find_first_of("\x01\xff"), std::string::npos);
  EXPECT_EQ(finding->evidence.rfind("X2 attribute %TF.FileFunction,Other,??xxx", 0), 0u);
}

}  // namespace
}  // namespace layers
